// install.sha256 as install.exe reads it: the lines `sha256sum -c` takes,
// names converted exactly to the plan's Shift-JIS form, and every line that
// is not well formed refused with its number.
#include <gtest/gtest.h>

#include "config/digest_list.h"
#include "tests/support/sjis_text.h"

namespace {

// Fault: a damaged or hand-edited list taken for a sound one (a file then
// copied unchecked, or checked under another name), a Shift-JIS name split
// at a trail byte 0x5C, "\" and "/" told apart, a name listed twice with two
// digests, or a sound line refused.
TEST(DigestList, ReadsWhatSha256sumReadsAndRefusesEveryOtherLine) {
  const std::string a(64, 'a'), b = "0123456789ABCDEF" + std::string(48, 'e');
  struct Case {
    std::string text;
    int badLine;  // 0: the list reads
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {a + "  SYSTEM.INI\n" + b + "  data/bgm/theme.ogg\n", 0, {"SYSTEM.INI", "data\\bgm\\theme.ogg"}},
      {a + " *data\\bgm\\theme.ogg\r\n# a comment\r\n\r\n" + b + "  save/slot 1.dat", 0,
       {"data\\bgm\\theme.ogg", "save\\slot 1.dat"}},
      {a + "  ソフト資料/ソース.txt\n", 0, {sjis("ソフト資料\\ソース.txt")}},
      {"", 0, {}},
      {a + "  data/a.bin\n" + b + "  DATA\\A.BIN\n", 2, {}},
      {a + " data/a.bin\n", 1, {}},
      {a + "\tdata/a.bin\n", 1, {}},
      {a + "  \n", 1, {}},
      {a.substr(1) + "  a.bin\n", 1, {}},
      {"g" + a.substr(1) + "  a.bin\n", 1, {}},
      {"\\" + a + "  a\\\\b\n", 1, {}},  // sha256sum's escaped name
      {"SHA256 (a.bin) = " + a + "\n", 1, {}},
      {a + "  ../win.ini\n", 1, {}},
      {a + "  /etc/passwd\n", 1, {}},
      {a + "  C:boot.ini\n", 1, {}},
      {a + "  data//a.bin\n", 1, {}},
      {a + "  data/\n", 1, {}},
      {a + "  save/aux.sav\n", 1, {}},
      {a + "  save.\n", 1, {}},
      {a + "  ok.bin\n" + a + "  \xC3\x89lan.bin\n", 2, {}},  // no Shift-JIS form
      {a + "  \xFF.bin\n", 1, {}},                           // not UTF-8
  };
  AsciiCaseFolding folding;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const DigestListReading reading = parseDigestList(c.text, folding);
    EXPECT_EQ(reading.badLine, c.badLine) << reading.reason;
    EXPECT_EQ(reading.list.has_value(), c.badLine == 0);
    if (!reading.list) continue;
    std::vector<std::string> names;
    for (const ListedDigest& entry : reading.list->entries) names.push_back(entry.name);
    EXPECT_EQ(names, c.names);
  }
  const auto reading = parseDigestList(a + "  data/x.bin\n" + b + "  Data/Y.bin\n", folding);
  ASSERT_TRUE(reading.list);
  EXPECT_EQ(reading.list->find(folding, "DATA\\x.BIN")->digest, digestFromHex(a));
  EXPECT_EQ(reading.list->find(folding, "data\\y.bin")->digest, digestFromHex(b));
  EXPECT_EQ(reading.list->find(folding, "data\\z.bin"), nullptr);
  EXPECT_EQ(digestListLine(*digestFromHex(b), "ソフト資料/ソース.txt"),
            "0123456789abcdef" + std::string(48, 'e') + "  ソフト資料/ソース.txt\n");
}

}  // namespace
