// Japanese names reach the file system under their true UTF-16 form even
// when the system code page is not 932 (the tests run with LANG=C.UTF-8).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/sjis.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "tests/platform/contract.h"
#include "tests/support/sjis_text.h"

namespace {

using platform::win32::toWide;

std::vector<std::wstring> findNames(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  platform::win32::UniqueFind find(FindFirstFileW((folder + L"\\*").c_str(), &entry));
  if (!find) return names;
  do {
    names.push_back(entry.cFileName);
  } while (FindNextFileW(find.get(), &entry));
  return names;
}

bool contains(const auto& list, const auto& item) { return std::find(list.begin(), list.end(), item) != list.end(); }

TEST(Win32JapaneseNames, CreatedListedOpenedAndDeletedUnderTheirUtf16Names) {
  auto environment = makeContractEnvironment();
  platform::Platform& system = environment->platform();
  const std::string root = environment->root();
  const std::wstring wideRoot = toWide(root);
  // ソ (0x83 0x5C) and 表 (0x95 0x5C) carry the separator byte as trail byte.
  const std::string folder = joinPath(root, sjis("ソフト"));
  const std::string file = joinPath(folder, sjis("表示.txt"));

  ASSERT_TRUE(system.createDirectory(folder));
  {
    auto stream = system.openStream(file, platform::OpenMode::Write);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->write("data", 4), 4u);
  }
  EXPECT_TRUE(contains(findNames(wideRoot), std::wstring(L"ソフト")));
  EXPECT_TRUE(contains(findNames(wideRoot + L"\\ソフト"), std::wstring(L"表示.txt")));

  auto listed = system.listFolder(folder);
  ASSERT_TRUE(listed);
  EXPECT_TRUE(contains(listed->names, sjis("表示.txt")));
  EXPECT_EQ(system.fileAttributes(folder) & platform::kAttributeDirectory, platform::kAttributeDirectory);

  {
    auto stream = system.openStream(file, platform::OpenMode::Read);
    ASSERT_TRUE(stream);
    char buffer[8] = {};
    EXPECT_EQ(stream->read(buffer, sizeof(buffer)), 4u);
    EXPECT_EQ(std::string(buffer, 4), "data");
  }

  ASSERT_TRUE(system.setCurrentDirectory(folder));
  EXPECT_EQ(system.currentDirectory(), folder);
  std::wstring current(MAX_PATH, L'\0');
  current.resize(GetCurrentDirectoryW(MAX_PATH, current.data()));
  EXPECT_EQ(current, wideRoot + L"\\ソフト");
  ASSERT_TRUE(system.setCurrentDirectory(root));

  EXPECT_TRUE(system.deleteFile(file));
  EXPECT_TRUE(system.removeDirectory(folder));
  EXPECT_EQ(GetFileAttributesW((wideRoot + L"\\ソフト").c_str()), INVALID_FILE_ATTRIBUTES);
}

// A name made outside the program, with a character code page 932 has no
// form for, is left out of the listing and counted, never listed with "?"
// in its place as the ANSI calls would (that would name another file).
TEST(Win32JapaneseNames, LeavesForeignNamesOutOfTheListing) {
  auto environment = makeContractEnvironment();
  const std::wstring wideRoot = toWide(environment->root());
  ASSERT_TRUE(CreateDirectoryW((wideRoot + L"\\x\uD55C\uD55C").c_str(), nullptr));
  auto listed = environment->platform().listFolder(environment->root());
  ASSERT_TRUE(listed);
  EXPECT_FALSE(contains(listed->names, std::string("x??")));
  EXPECT_EQ(listed->unrepresentable, 1);
}

}  // namespace
