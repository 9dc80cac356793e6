// The block format: the worked example byte for byte, the loader's readings
// of unusual but valid blocks, and bounded reading of every cut-short block.
#include <gtest/gtest.h>

#include <set>

#include "config/config_block.h"
#include "tests/support/sjis_text.h"
#include "tests/support/worked_example.h"

namespace {

BlockReading readAll(const std::vector<uint8_t>& block) {
  MemoryByteSource source(block);
  return readConfigBlockAt(source, 0, block.size());
}

// A block with every optional part present and entries in both lists.
ConfigBlockContent fullContent() {
  ConfigBlockContent content = workedExampleContent();
  InstallerConfig& c = content.config;
  c.extra2Flag = 1;
  c.extra2File = sjis("ソフト\\説明.html");
  c.extra2LinkName = sjis("説明書");
  c.buttons[kExtra2ButtonIndex] = button(165, 135, 145, 25, "caption", "command", 1);
  content.preserveEntries.push_back("save");
  return content;
}

}  // namespace

TEST(ConfigBlock, MinimumBlockIs487BytesAndLoadsEmptyLists) {
  ConfigBlockContent content;
  content.config.title = "T";
  std::vector<uint8_t> block = serializeConfigBlock(content);
  ASSERT_EQ(block.size(), kMinimumBlockSize);
  block.push_back(0x5A);  // a byte the reader must not take

  BlockReading reading = readAll(block);
  EXPECT_TRUE(reading.complete);
  EXPECT_EQ(reading.end, kMinimumBlockSize);
  EXPECT_EQ(reading.content, content);
  EXPECT_TRUE(reading.content.extraEntries.empty());
  EXPECT_TRUE(reading.content.preserveEntries.empty());
}

TEST(ConfigBlock, LoaderReadsUnusualButValidBlocks) {
  struct Case {
    const char* name;
    void (*edit)(ConfigBlockContent&);
  };
  const Case cases[] = {
      {"only the second extra item and the second extra button",
       [](ConfigBlockContent& c) {
         c.config.extra1Flag = 0;
         c.config.extra1File.clear();
         c.config.extra1LinkName.clear();
         c.config.extra2Flag = 1;
         c.config.extra2File = "b.txt";
         c.config.extra2LinkName = "B";
         c.config.buttons[kExtra1ButtonIndex] = {};
         c.config.buttons[kExtra2ButtonIndex] = button(-5, -1, 7, 9, "cap", "cmd", 1);
       }},
      {"63-byte strings everywhere",
       [](ConfigBlockContent& c) {
         std::string longest(63, 'x');
         c.config.title = c.config.registryKey = c.config.extra1LinkName = longest;
         c.config.buttons[kExtra1ButtonIndex].command = longest;
         c.extraEntries = {longest, std::string(62, 'y') + "z"};
       }},
      {"negative geometry",
       [](ConfigBlockContent& c) {
         c.config.clientWidth = -1;
         c.config.imageLeft = -32768;
         c.config.buttons[kCloseButtonIndex] = button(-300, -2, -145, 32767);
       }},
      {"duplicate and empty entries kept in order",
       [](ConfigBlockContent& c) {
         c.extraEntries = {"data", "", "DATA", "data"};
         c.preserveEntries = {"save", "save"};
       }},
      {"Shift-JIS text with a trail byte 0x5C",
       [](ConfigBlockContent& c) {
         c.config.title = sjis("ソフト表示");
         c.extraEntries = {sjis("ソ\\表")};
       }},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    ConfigBlockContent content = workedExampleContent();
    test.edit(content);
    BlockReading reading = readAll(serializeConfigBlock(content));
    EXPECT_TRUE(reading.complete);
    EXPECT_TRUE(reading.problems.empty());
    EXPECT_EQ(reading.content, content);
  }
}

TEST(ConfigBlock, StringsEndAtTheirFirstNulOrTakeAll64Bytes) {
  std::vector<uint8_t> block = serializeConfigBlock(workedExampleContent());
  // Bytes after the title's NUL, non-zero ones included, do not count.
  for (size_t i = 15; i < 64; ++i) block[i] = 0xFF;
  // parentFolder without a NUL: 64 bytes of text.
  for (size_t i = 65; i < 129; ++i) block[i] = 'P';
  // A non-zero flag other than 1 counts as set.
  block[643] = 0x80;

  BlockReading reading = readAll(block);
  EXPECT_TRUE(reading.complete);
  EXPECT_EQ(reading.content.config.title, "Demo Adventure");
  EXPECT_EQ(reading.content.config.parentFolder, std::string(64, 'P'));
  EXPECT_EQ(reading.content.config.extra1Flag, 0x80);
  EXPECT_EQ(reading.content.config.extra1File, "readme.txt");
  ASSERT_EQ(reading.problems.size(), 1u);
  EXPECT_EQ(reading.problems[0].kind, BlockProblem::Kind::StringWithoutNul);
  EXPECT_EQ(reading.problems[0].field, "parentFolder");
  EXPECT_EQ(reading.problems[0].offset, 65u);
}

TEST(ConfigBlock, EveryCutShortBlockLoadsItsWholeFieldsAndStops) {
  const ConfigBlockContent full = fullContent();
  const std::vector<uint8_t> block = serializeConfigBlock(full);
  ASSERT_EQ(block.size(), kWorkedExampleBlockSize + 64 + 128 + 136);

  std::set<uint64_t> ends;
  for (size_t length = 0; length <= block.size(); ++length) {
    // Exactly `length` bytes on the heap: a read past them is caught by the
    // address sanitizer.
    std::vector<uint8_t> cut(block.begin(), block.begin() + static_cast<ptrdiff_t>(length));
    BlockReading reading = readAll(cut);
    SCOPED_TRACE(length);
    ASSERT_LE(reading.end, length);
    ASSERT_EQ(reading.complete, length == block.size());
    if (!reading.complete) {
      ASSERT_FALSE(reading.problems.empty());
      const BlockProblem& stop = reading.problems.back();
      EXPECT_EQ(stop.kind, BlockProblem::Kind::FieldCutShort);
      EXPECT_EQ(stop.offset, reading.end);
      EXPECT_GT(reading.end + stop.needed, length);
    }
    // What was read is the full block's, up to the stop.
    const auto& extra = reading.content.extraEntries;
    ASSERT_LE(extra.size(), full.extraEntries.size());
    EXPECT_TRUE(std::equal(extra.begin(), extra.end(), full.extraEntries.begin()));
    EXPECT_EQ(reading.content.config.title, reading.end >= 64 ? full.config.title : "");
    ends.insert(reading.end);
  }
  // Cutting at a field boundary loses nothing before it.
  for (uint64_t end : ends) {
    std::vector<uint8_t> cut(block.begin(), block.begin() + static_cast<ptrdiff_t>(end));
    EXPECT_EQ(readAll(cut).end, end);
  }
  // Each list entry, text and number is a field of its own: 5 + 1 + 2 + 1 + 2
  // + 3 + 3 + 3 + 4 + 12 + 2 * (1 + 4 + 2) ends, and offset 0.
  EXPECT_EQ(ends.size(), 1u + 5 + 1 + 2 + 1 + 2 + 3 + 3 + 3 + 4 + 12 + 14);
}

TEST(ConfigBlock, CountsRunningPastTheEndKeepTheEntriesThatFit) {
  ConfigBlockContent content;
  content.extraEntries = {"a", "b", "c", "d", "e"};
  std::vector<uint8_t> block = serializeConfigBlock(content);
  block.resize(258 + 2 * 64 + 10);

  BlockReading reading = readAll(block);
  EXPECT_FALSE(reading.complete);
  EXPECT_EQ(reading.content.extraEntries, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(reading.end, 258u + 2 * 64);
  EXPECT_EQ(reading.problems.back().field, "extraEntries[2]");
  EXPECT_EQ(describeBlockProblem(reading.problems.back()),
            "extraEntries[2] at offset 0x182 needs 64 bytes but only 10 remain before the end of the file");
}

TEST(ConfigBlock, TrailerOutsideTheFileLoadsNothing) {
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    BlockProblem::Kind kind;
  };
  std::vector<uint8_t> block = serializeConfigBlock(workedExampleContent());
  auto withTrailer = [&](uint32_t offset) {
    std::vector<uint8_t> file = block;
    for (int shift = 0; shift < 32; shift += 8) file.push_back(static_cast<uint8_t>(offset >> shift));
    return file;
  };
  const Case cases[] = {
      {"empty file", {}, BlockProblem::Kind::NoTrailer},
      {"three bytes", {1, 2, 3}, BlockProblem::Kind::NoTrailer},
      {"offset at the end", withTrailer(static_cast<uint32_t>(block.size() + 4)), BlockProblem::Kind::TrailerOutside},
      {"offset far out", withTrailer(0xFFFFFFFF), BlockProblem::Kind::TrailerOutside},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    MemoryByteSource source(test.file);
    BlockReading reading = readConfigBlock(source, test.file.size());
    EXPECT_FALSE(reading.complete);
    EXPECT_EQ(reading.content, ConfigBlockContent{});
    ASSERT_EQ(reading.problems.size(), 1u);
    EXPECT_EQ(reading.problems[0].kind, test.kind);
  }
}

