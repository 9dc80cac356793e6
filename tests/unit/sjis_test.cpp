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
