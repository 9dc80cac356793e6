// install.exe's own file through the platform: the entry point's check and
// ReadInstallerConfig, on the in-memory Windows.
#include <gtest/gtest.h>

#include "app/app_context.h"
#include "launcher/read_installer_config.h"
#include "platform/memory/memory_platform.h"
#include "tests/support/pe_fixture.h"
#include "tests/support/worked_example.h"

namespace {

std::string asString(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::vector<uint8_t> packedImage(const ConfigBlockContent& content, bool signReady = false) {
  std::vector<uint8_t> file = syntheticImage(kWorkedExampleImageSize);
  appendConfigBlock(file, serializeConfigBlock(content), signReady);
  return file;
}

struct Loaded {
  InstallerConfig config;
  std::vector<std::string> extra;
  std::vector<std::string> preserve;
  int openStreams = 0;
};

// Runs the loader as the menu does: lists created first, then loading.
Loaded load(platform::MemoryPlatform& platform, const std::optional<std::vector<uint8_t>>& file) {
  if (file) {
    EXPECT_TRUE(platform.writeFile("install.exe", asString(*file)));
  }
  AppContext ctx(platform);
  ctx.plan.ExtraCopyList = std::make_unique<StringList>(platform);
  ctx.plan.PreserveList = std::make_unique<StringList>(platform);
  ctx.config.InstallPath = "C:\\Games\\Kept";
  ReadInstallerConfig(ctx);
  EXPECT_EQ(ctx.config.InstallPath, "C:\\Games\\Kept");
  return {ctx.config, ctx.plan.ExtraCopyList->items(), ctx.plan.PreserveList->items(), platform.openStreamCount()};
}

}  // namespace

TEST(ReadInstallerConfig, LoadsTheBlockIntoTheRecordAndTheLists) {
  ConfigBlockContent content = workedExampleContent();
  content.extraEntries.push_back("manual");  // duplicates stay
  content.extraEntries.push_back("");
  platform::MemoryPlatform platform;
  Loaded loaded = load(platform, packedImage(content));
  content.config.InstallPath = "C:\\Games\\Kept";
  EXPECT_EQ(loaded.config, content.config);
  EXPECT_EQ(loaded.extra, content.extraEntries);
  EXPECT_EQ(loaded.preserve, content.preserveEntries);
  EXPECT_EQ(loaded.openStreams, 0);
}

TEST(ReadInstallerConfig, SignedFileLoadsFromBeforeItsCertificateTable) {
  std::vector<uint8_t> file = packedImage(workedExampleContent(), true);
  appendCertificateTable(file, PeKind::Pe32, 0x5F0);
  platform::MemoryPlatform platform;
  Loaded loaded = load(platform, file);
  EXPECT_EQ(loaded.config.title, "Demo Adventure");
  EXPECT_EQ(loaded.config.buttons[kExtra1ButtonIndex].visible, 1);
  EXPECT_EQ(loaded.preserve, (std::vector<std::string>{"config.ini"}));
}

TEST(ReadInstallerConfig, FilesItCannotReadWholeLeaveTheRestEmpty) {
  platform::MemoryPlatform missing;
  Loaded none = load(missing, std::nullopt);
  EXPECT_EQ(none.config.title, "");
  EXPECT_TRUE(none.extra.empty());

  std::vector<uint8_t> outside = packedImage(workedExampleContent());
  putU32(outside, outside.size() - 4, static_cast<uint32_t>(outside.size()));
  platform::MemoryPlatform platform;
  Loaded nothing = load(platform, outside);
  EXPECT_EQ(nothing.config.title, "");
  EXPECT_EQ(nothing.config.clientWidth, 0);

  // Reads failing from inside the block on: the trailer cannot be read.
  platform::MemoryPlatform failing;
  failing.failReadAfter("install.exe", kWorkedExampleImageSize + 322 + 10);
  Loaded unread = load(failing, packedImage(workedExampleContent()));
  EXPECT_EQ(unread.config.registryKey, "");
  EXPECT_TRUE(unread.extra.empty());
  EXPECT_EQ(unread.openStreams, 0);
}

TEST(InstallerImagePasses, DecidesWhetherTheEntryPointGoesOn) {
  struct Case {
    const char* name;
    std::optional<std::vector<uint8_t>> file;
    bool passes;
  };
  std::vector<uint8_t> plain = syntheticImage(0x3000, PeKind::Pe32Plus);
  std::vector<uint8_t> oneByte = plain;
  oneByte.push_back(0);
  std::vector<uint8_t> signedPlain = plain;
  appendCertificateTable(signedPlain, PeKind::Pe32Plus, 0x100);
  std::vector<uint8_t> signedPacked = plain;
  appendConfigBlock(signedPacked, serializeConfigBlock(workedExampleContent()), true);
  appendCertificateTable(signedPacked, PeKind::Pe32Plus, 0x100);
  std::vector<uint8_t> notPe(0x4000, 'M');
  // Signed without room for the trailer: the zero padding reads as offset 0.
  std::vector<uint8_t> intoImage = packedImage(workedExampleContent());
  intoImage.insert(intoImage.end(), 4, 0);
  std::vector<uint8_t> pastTrailer = packedImage(workedExampleContent());
  const uint32_t past = static_cast<uint32_t>(pastTrailer.size() - 4);
  for (int i = 0; i < 4; ++i) pastTrailer[past + i] = static_cast<uint8_t>(past >> (8 * i));
  const Case cases[] = {
      {"missing", std::nullopt, false},
      {"nothing appended", plain, false},
      // One zero byte after the image's last zeros: the trailer reads 0.
      {"one byte appended", oneByte, false},
      {"trailer into the image", intoImage, false},
      {"trailer at itself", pastTrailer, false},
      {"signed with nothing appended", signedPlain, false},
      {"signed after packing", signedPacked, true},
      {"not a PE image", notPe, false},
      {"packed", packedImage(workedExampleContent()), true},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    platform::MemoryPlatform platform;
    if (test.file) {
      ASSERT_TRUE(platform.writeFile("install.exe", asString(*test.file)));
    }
    EXPECT_EQ(installerImagePasses(platform), test.passes);
    EXPECT_EQ(platform.openStreamCount(), 0);
  }
}
