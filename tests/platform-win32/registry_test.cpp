// What the registry holds after the backend wrote it, read with the raw
// calls, and how the backend reads what others wrote.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/wide_text.h"
#include "tests/platform/contract.h"
#include "tests/support/sjis_text.h"

namespace {

using platform::Hive;
using platform::win32::toWide;
using platform::win32::UniqueRegistryKey;

class Win32Registry : public ::testing::Test {
 protected:
  std::unique_ptr<ContractEnvironment> environment = makeContractEnvironment();
  platform::Platform& system = environment->platform();
  const std::string keyPath = environment->registryRoot() + "\\" + sjis("ソフト");

  UniqueRegistryKey openRaw() {
    UniqueRegistryKey key;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, toWide(keyPath).c_str(), 0, KEY_READ | KEY_SET_VALUE, key.put()),
              ERROR_SUCCESS);
    return key;
  }
};

TEST_F(Win32Registry, StringIsStoredAsUtf16WithItsNulCounted) {
  const std::string installPath = sjis("C:\\ゲーム\\ソフト表示");  // ソ and 表 end in the byte 0x5C
  ASSERT_TRUE(system.createKey(Hive::CurrentUser, keyPath)->setString("PATH", installPath));

  UniqueRegistryKey key = openRaw();
  DWORD type = 0;
  BYTE data[256] = {};
  DWORD size = sizeof(data);
  ASSERT_EQ(RegQueryValueExW(key.get(), L"PATH", nullptr, &type, data, &size), ERROR_SUCCESS);
  const std::wstring expected = L"C:\\ゲーム\\ソフト表示";
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, (expected.size() + 1) * sizeof(wchar_t));
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(data), expected.size() + 1),
            std::wstring(expected.c_str(), expected.size() + 1));
}

// The limit counts Shift-JIS bytes: 511 kana and one letter take 1023 bytes
// (1024 with the NUL) but 1026 bytes of UTF-16.
TEST_F(Win32Registry, LimitIsMeasuredInShiftJisBytes) {
  std::string kana;
  for (int i = 0; i < 511; ++i) kana += sjis("ア");
  const struct {
    std::string value;
    bool fits;
  } cases[] = {{kana + "x", true}, {kana + sjis("ア"), false}};
  auto writer = system.createKey(Hive::CurrentUser, keyPath);
  ASSERT_TRUE(writer);
  for (const auto& c : cases) {
    ASSERT_TRUE(writer->setString("PATH", c.value));
    auto read = system.openKey(Hive::CurrentUser, keyPath)->queryString("PATH");
    EXPECT_EQ(read.has_value(), c.fits) << c.value.size() << " bytes";
    if (c.fits) {
      EXPECT_EQ(*read, c.value);
    }
  }
}

TEST_F(Win32Registry, ReadsOnlyStringValues) {
  ASSERT_TRUE(system.createKey(Hive::CurrentUser, keyPath));
  UniqueRegistryKey key = openRaw();
  const DWORD number = 7;
  const wchar_t unterminated[] = {L'a', L'b'};
  const wchar_t expandable[] = L"%TEMP%\\x";
  ASSERT_EQ(RegSetValueExW(key.get(), L"number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(key.get(), L"unterminated", 0, REG_SZ, reinterpret_cast<const BYTE*>(unterminated),
                           sizeof(unterminated)),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExW(key.get(), L"expandable", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expandable),
                           sizeof(expandable)),
            ERROR_SUCCESS);

  auto reader = system.openKey(Hive::CurrentUser, keyPath);
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->queryString("number"), std::nullopt);
  EXPECT_EQ(reader->queryString("unterminated"), "ab");
  EXPECT_EQ(reader->queryString("expandable"), "%TEMP%\\x");  // read as stored, not expanded
}

}  // namespace
