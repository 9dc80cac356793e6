// DeleteTreeContents against what other programs do to the folder meanwhile,
// and names that Win32's path rules would turn into something else.
#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "uninstall/tree_deletion.h"

namespace {

// Fault: a member read by name, then entered by name again: a folder
// swapped for a junction in between is followed, and an elevated delete-all
// empties the folder the junction points to.
TEST(UninstallTreeDeletion, AFolderSwappedForAJunctionAfterTheListingIsRemovedAsALink) {
  platform::MemoryPlatform platform;
  ASSERT_TRUE(platform.createDirectories("C:\\Game\\sub"));
  ASSERT_TRUE(platform.createDirectories("C:\\Victim"));
  ASSERT_TRUE(platform.writeFile("C:\\Game\\sub\\a.bin", "game"));
  ASSERT_TRUE(platform.writeFile("C:\\Victim\\letter.txt", "the user's"));
  platform.onceAfterListing("C:\\Game", [&] {
    ASSERT_TRUE(platform.deleteFile("C:\\Game\\sub\\a.bin"));
    ASSERT_TRUE(platform.removeDirectory("C:\\Game\\sub"));
    ASSERT_TRUE(platform.addJunction("C:\\Game\\sub", "C:\\Victim"));
  });

  RemovalReport report;
  EXPECT_FALSE(DeleteTreeContents(platform, "C:\\Game", report));

  EXPECT_TRUE(report.complete());
  EXPECT_FALSE(platform.exists("C:\\Game\\sub"));
  EXPECT_EQ(platform.readFile("C:\\Victim\\letter.txt"), "the user's");
}

// Fault: members addressed as "folder\name" through the usual path rules:
// "aux.txt" reaches a device and "save." another file, so they stay while
// the removal reports success.
TEST(UninstallTreeDeletion, NamesThePathRulesWouldChangeAreRemovedAsListed) {
  platform::MemoryPlatform platform;
  ASSERT_TRUE(platform.createDirectories("C:\\Game\\save"));
  const char* names[] = {"aux.txt", "CON", "com1.log", "nul.sav", "save.", "a ", "slot1.dat"};
  for (const char* name : names) ASSERT_TRUE(platform.addFileNamed("C:\\Game\\save", name, name));
  ASSERT_TRUE(platform.writeFile("C:\\Game\\save\\a", "not listed"));  // what "a " would reach

  // The usual path rules miss them: the model agrees with Windows there.
  EXPECT_FALSE(platform.deleteFile("C:\\Game\\save\\aux.txt"));

  RemovalReport report;
  EXPECT_FALSE(DeleteTreeContents(platform, "C:\\Game", report));
  EXPECT_TRUE(report.complete()) << *report.firstLeft;
  EXPECT_FALSE(platform.exists("C:\\Game\\save"));
}

// Fault: a member that cannot be removed abandoning the rest of its folder.
TEST(UninstallTreeDeletion, AHeldMemberIsReportedAndItsSiblingsStillGo) {
  platform::MemoryPlatform platform;
  ASSERT_TRUE(platform.createDirectories("C:\\Game\\sub"));
  for (const char* name : {"C:\\Game\\sub\\a.bin", "C:\\Game\\sub\\held.bin", "C:\\Game\\sub\\b.bin",
                           "C:\\Game\\z.bin"}) {
    ASSERT_TRUE(platform.writeFile(name, "x"));
  }
  platform.setListingOrder("C:\\Game", {"sub", "z.bin"});
  platform.setListingOrder("C:\\Game\\sub", {"a.bin", "held.bin", "b.bin"});
  auto held = platform.openStream("C:\\Game\\sub\\held.bin", platform::OpenMode::Read);

  RemovalReport report;
  DeleteTreeContents(platform, "C:\\Game", report);

  EXPECT_EQ(report.firstLeft, "C:\\Game\\sub\\held.bin");
  for (const char* gone : {"C:\\Game\\sub\\a.bin", "C:\\Game\\sub\\b.bin", "C:\\Game\\z.bin"}) {
    EXPECT_FALSE(platform.exists(gone)) << gone;
  }
}

}  // namespace
