// Case-blind equality under the user's locale and the key that indexes it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "tests/support/sjis_text.h"

namespace {

TEST(Win32TextCompare, EqualsIgnoringCase) {
  platform::Win32Platform system;
  const struct {
    std::string a, b;
    bool equal;
  } cases[] = {
      {"Setup.EXE", "setup.exe", true},
      {"abc", "abd", false},
      {"", "", true},
      {"", "a", false},
      // ア is 0x83 0x41 and ヂ is 0x83 0x61: the trail bytes are "A" and "a".
      {sjis("ア"), sjis("ヂ"), false},
      {sjis("ソフト"), sjis("ソフト"), true},
      {sjis("ΑΒΓ"), sjis("αβγ"), true},  // Greek capitals and small letters
      {sjis("データ\\ＳＡＶＥ"), sjis("データ\\ｓａｖｅ"), true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(system.equalsIgnoreCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    EXPECT_EQ(system.caseFoldKey(c.a) == system.caseFoldKey(c.b), c.equal) << c.a << " / " << c.b;
  }
}

// Every pair of a varied set: equal keys exactly when the comparison says
// equal, including pairs that differ only in width, kana kind or marks.
TEST(Win32TextCompare, KeysAgreeWithTheComparison) {
  platform::Win32Platform system;
  std::vector<std::string> texts = {"", "a", "A", "b", "ab", "a-b", "a b", "Save", "SAVE", "save1"};
  for (const char* utf8 : {"ア", "ヂ", "あ", "ｱ", "カ", "ガ", "Ａ", "ａ", "Д", "д", "ソフト", "そふと", "表示", "ﾃﾞｰﾀ", "データ"})
    texts.push_back(sjis(utf8));
  for (const auto& a : texts) {
    for (const auto& b : texts) {
      EXPECT_EQ(system.caseFoldKey(a) == system.caseFoldKey(b), system.equalsIgnoreCase(a, b)) << a << " / " << b;
    }
  }
}

}  // namespace
