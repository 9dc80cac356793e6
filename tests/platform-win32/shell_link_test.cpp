// Links written by the backend, read back by the shell's own link object.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/sjis.h"
#include "platform/win32/com_initialization.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "tests/platform/contract.h"
#include "tests/support/sjis_text.h"

namespace {

using platform::win32::ComPtr;
using platform::win32::toWide;

bool contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

struct LinkFields {
  std::wstring target, arguments, directory;
};

LinkFields loadWithShell(const std::wstring& path) {
  platform::win32::ComInitialization com;
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
  LinkFields fields;
  EXPECT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                            reinterpret_cast<void**>(link.put())));
  if (!link) return fields;
  EXPECT_HRESULT_SUCCEEDED(link.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put())));
  if (!file) return fields;
  EXPECT_HRESULT_SUCCEEDED(file.get()->Load(path.c_str(), STGM_READ));
  wchar_t buffer[MAX_PATH] = {};
  link.get()->GetPath(buffer, MAX_PATH, nullptr, 0);
  fields.target = buffer;
  buffer[0] = 0;
  link.get()->GetArguments(buffer, MAX_PATH);
  fields.arguments = buffer;
  buffer[0] = 0;
  link.get()->GetWorkingDirectory(buffer, MAX_PATH);
  fields.directory = buffer;
  return fields;
}

// The show command field of a link file's header, at offset 0x3C.
int storedShowCommand(const std::wstring& path) {
  platform::win32::UniqueFileHandle file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return -1;
  BYTE header[0x40] = {};
  DWORD read = 0;
  if (!ReadFile(file.get(), header, sizeof(header), &read, nullptr) || read != sizeof(header)) return -1;
  return header[0x3C] | header[0x3D] << 8 | header[0x3E] << 16 | header[0x3F] << 24;
}

TEST(Win32ShellLink, WrittenLinkLoadsInTheShell) {
  auto environment = makeContractEnvironment();
  platform::Platform& system = environment->platform();
  const std::string root = environment->root();
  // The target stays ASCII: Wine keeps a link's target path in the system's
  // ANSI code page only, so Japanese target folders come back as "?" on a
  // prefix that is not Japanese. Link name and working directory are stored
  // as UTF-16 and carry Japanese here.
  const std::string folder = joinPath(root, "game");
  const std::string workFolder = joinPath(root, sjis("ゲーム"));
  ASSERT_TRUE(system.createDirectory(workFolder));
  ASSERT_TRUE(system.createDirectory(folder));
  const std::string target = joinPath(folder, "origin.exe");
  system.openStream(target, platform::OpenMode::Write);
  const std::string linkPath = joinPath(root, sjis("ソフト起動.lnk"));

  // Not the object's default show command, so that a lost one shows.
  const platform::ShellLink link{target, "/l", workFolder, SW_SHOWMINNOACTIVE};
  ASSERT_TRUE(system.writeShellLink(linkPath, link));

  LinkFields fields = loadWithShell(toWide(linkPath));
  EXPECT_EQ(fields.target, toWide(target));
  EXPECT_EQ(fields.arguments, L"/l");
  EXPECT_EQ(fields.directory, toWide(root) + L"\\ゲーム");
  // Wine's link object does not restore the show command on loading (it
  // reports 1 whatever is stored), so it is read from the link header.
  EXPECT_EQ(storedShowCommand(toWide(linkPath)), SW_SHOWMINNOACTIVE);

  auto readBack = system.readShellLink(linkPath);
  ASSERT_TRUE(readBack);
  EXPECT_EQ(readBack->target, link.target);
  EXPECT_EQ(readBack->arguments, link.arguments);
  EXPECT_EQ(readBack->workingDirectory, link.workingDirectory);
}

// The link's path is handed over in 260 UTF-16 units with the terminator; a
// longer one is refused. Kana make bytes and units differ. The path is split
// into folders because a single name must stay within 255 bytes of UTF-8 on
// the Linux file systems under Wine.
TEST(Win32ShellLink, PathMustFitTwoHundredSixtyUnits) {
  auto environment = makeContractEnvironment();
  platform::Platform& system = environment->platform();
  const std::string kana = sjis("ア");
  std::string folder = environment->root();
  const size_t suffixUnits = 5;  // the separator and ".lnk"
  while (toWide(folder).size() + suffixUnits + 60 < MAX_PATH) {
    std::string name;
    for (int i = 0; i < 50; ++i) name += kana;
    folder = joinPath(folder, name);
    ASSERT_TRUE(system.createDirectory(folder));
  }
  for (size_t units : {size_t{259}, size_t{260}}) {
    std::string name;
    while (toWide(folder).size() + suffixUnits + toWide(name).size() < units) name += kana;
    const std::string linkPath = joinPath(folder, name + ".lnk");
    ASSERT_EQ(toWide(linkPath).size(), units);
    const bool fits = units < MAX_PATH;
    EXPECT_EQ(system.writeShellLink(linkPath, {joinPath(folder, "x.exe"), "", folder, platform::kSwShowNormal}),
              fits)
        << units;
    auto listed = system.listFolder(folder);
    ASSERT_TRUE(listed);
    EXPECT_EQ(contains(listed->names, name + ".lnk"), fits) << units;
  }
}

}  // namespace
