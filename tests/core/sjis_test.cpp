#include <gtest/gtest.h>

#include <vector>

#include "core/sjis.h"

TEST(Sjis, SeparatorScanStepsOverTrailBytes) {
  // "A\" + ソ (0x83 0x5C) + "\b": the 0x5C inside ソ is not a separator.
  const std::string path = "A\\\x83\x5C\\b";
  std::vector<size_t> found;
  forEachSeparator(path, 0, [&](size_t i) { found.push_back(i); });
  EXPECT_EQ(found, (std::vector<size_t>{1, 4}));
}

#include "core/cp932.h"
#include "tests/support/sjis_text.h"

TEST(Cp932, RoundTripsJapaneseAndRefusesWhatItCannotHold) {
  auto sjis = utf8ToCp932("ソ起動");
  ASSERT_TRUE(sjis.has_value());
  EXPECT_EQ(*sjis, "\x83\x5C\x8B\x4E\x93\xAE");
  EXPECT_EQ(cp932ToUtf8(*sjis), "ソ起動");
  EXPECT_FALSE(utf8ToCp932("\xF0\x9F\x98\x80").has_value());  // an emoji
  // Never a look-alike: "¥" would become the separator, "É" an "E".
  for (const char* foreign : {"x\xC2\xA5y", "\xC3\x89lan", "\xE2\x80\xBE"}) {
    EXPECT_EQ(utf8ToCp932(foreign), std::nullopt) << foreign;
  }
  EXPECT_EQ(utf8ToCp932("\xEF\xBF\xA5"), "\x81\x8F");  // the full-width yen sign has a form
}
