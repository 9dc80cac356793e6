// DeleteTreeContents when an attribute read fails part-way through a folder.
#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "uninstall/tree_deletion.h"

namespace {

// A member that vanishes between the listing and the attribute read, as when
// another program deletes it at that moment.
class VanishingMember : public platform::MemoryPlatform {
 public:
  uint32_t fileAttributes(const std::string& path) override {
    if (path == vanishing) return platform::kInvalidAttributes;
    return MemoryPlatform::fileAttributes(path);
  }
  std::string vanishing;
};

TEST(UninstallTreeDeletion, FailedAttributeReadEndsOnlyThatFoldersListing) {
  VanishingMember platform;
  ASSERT_TRUE(platform.createDirectories("C:\\Game\\sub"));
  for (const char* name : {"C:\\Game\\sub\\a.bin", "C:\\Game\\sub\\gone.bin", "C:\\Game\\sub\\b.bin",
                           "C:\\Game\\z.bin"}) {
    ASSERT_TRUE(platform.writeFile(name, "x"));
  }
  platform.setListingOrder("C:\\Game", {"sub", "z.bin"});
  platform.setListingOrder("C:\\Game\\sub", {"a.bin", "gone.bin", "b.bin"});
  platform.vanishing = "C:\\Game\\sub\\gone.bin";

  DeleteTreeContents(platform, "C:\\Game");

  EXPECT_FALSE(platform.exists("C:\\Game\\sub\\a.bin"));
  EXPECT_TRUE(platform.exists("C:\\Game\\sub\\b.bin"));  // after the failed read
  EXPECT_TRUE(platform.exists("C:\\Game\\sub"));
  EXPECT_FALSE(platform.exists("C:\\Game\\z.bin"));  // the level above goes on
}

}  // namespace
