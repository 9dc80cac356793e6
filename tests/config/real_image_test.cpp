// The image check on the repository's own install.exe of this build's
// architecture, given as the first argument: with nothing appended, or with
// a byte whose trailer points into the image, it fails; with a block behind
// the image and a trailer pointing at it, it passes; a non-PE file fails.
#include <gtest/gtest.h>

#include <cstdio>

#include "config/image_check.h"
#include "launcher/read_installer_config.h"
#include "platform/memory/memory_platform.h"
#include "tests/support/pe_fixture.h"

namespace {

bool passesAsInstallExe(const std::vector<uint8_t>& bytes) {
  platform::MemoryPlatform platform;
  EXPECT_TRUE(platform.writeFile("install.exe", std::string(bytes.begin(), bytes.end())));
  return installerImagePasses(platform);
}

// Registered by main with the path from the command line.
class RealImage : public ::testing::Test {
 public:
  explicit RealImage(std::filesystem::path path) : path_(std::move(path)) {}
  void TestBody() override;

 private:
  std::filesystem::path path_;
};

}  // namespace

void RealImage::TestBody() {
  std::vector<uint8_t> image = readBytes(path_);
  ASSERT_GT(image.size(), 0x400u) << path_;
  MemoryByteSource source(image);
  ImageInfo info = inspectImage(source);
  ASSERT_EQ(info.status, ImageStatus::Image);
  EXPECT_EQ(info.optionalMagic, sizeof(void*) == 8 ? 0x20B : 0x10B);
  EXPECT_EQ(info.imageEnd, image.size());
  EXPECT_FALSE(info.certificateTable.has_value());
  EXPECT_FALSE(passesAsInstallExe(image));

  std::vector<uint8_t> oneByte = image;
  oneByte.push_back(0);
  EXPECT_FALSE(passesAsInstallExe(oneByte));

  const uint32_t blockStart = static_cast<uint32_t>(image.size());
  image.insert(image.end(), {'b', 'l', 'o', 'k'});
  for (int shift = 0; shift < 32; shift += 8) image.push_back(static_cast<uint8_t>(blockStart >> shift));
  EXPECT_TRUE(passesAsInstallExe(image));

  std::vector<uint8_t> notPe = image;
  notPe[0] = 'Z';
  EXPECT_FALSE(passesAsInstallExe(notPe));
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s INSTALL.EXE\n", argv[0]);
    return 2;
  }
  std::filesystem::path path = argv[1];
  ::testing::RegisterTest("RealImage", "PassesOnlyWithABlockBehindTheImage", nullptr, nullptr, __FILE__, __LINE__,
                          [path]() -> ::testing::Test* { return new RealImage(path); });
  return RUN_ALL_TESTS();
}
