// Removing the per-user key and the Start-menu shortcuts.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/installed_game.h"
#include "tests/support/sjis_text.h"
#include "uninstall/registration_removal.h"

namespace {

using RegistrationRemovalTest = InstalledGame;

TEST_F(RegistrationRemovalTest, KeyAndOnlyItsFirstLevelParentWhenLeftWithoutSubkeys) {
  struct Case {
    const char* what;
    std::string registryKey;
    std::vector<std::string> valuesBefore;  // keys below software, each given a value
    std::vector<std::string> keysBefore;    // keys below software, no values
    std::vector<std::string> gone;
    std::vector<std::string> kept;
  };
  // "ソ" is 0x83 0x5C; a scan that takes its trail byte for a separator
  // would cut at "\x83".
  const std::string so = sjis("ソ");
  const std::string lead = so.substr(0, 1);
  const Case cases[] = {
      {"one level", "Title", {"Title", "Maker"}, {}, {"Title"}, {"Maker"}},
      {"parent holds another subkey", "Maker\\Title", {"Maker\\Title"}, {"Maker\\Other"}, {"Maker\\Title"},
       {"Maker", "Maker\\Other"}},
      {"parent holds only values", "Maker\\Title", {"Maker\\Title", "Maker"}, {}, {"Maker\\Title", "Maker"}, {}},
      {"three levels", "Maker\\Series\\Title", {"Maker\\Series\\Title"}, {}, {"Maker\\Series\\Title"},
       {"Maker\\Series", "Maker"}},
      {"trail byte in the first level", so + "\\Title", {so + "\\Title"}, {lead}, {so + "\\Title", so}, {lead}},
      {"trail byte, one level", "A" + so, {"A" + so}, {"A" + lead}, {"A" + so}, {"A" + lead}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    platform::MemoryPlatform platform;
    AppContext context(platform);
    context.config.registryKey = c.registryKey;
    for (const auto& key : c.valuesBefore) {
      ASSERT_TRUE(platform.setRegistryString(Hive::CurrentUser, "software\\" + key, "PATH", "C:\\Games\\Title"));
    }
    for (const auto& key : c.keysBefore) ASSERT_TRUE(platform.createKey(Hive::CurrentUser, "software\\" + key));

    RemoveRegistration(context);

    for (const auto& key : c.gone) EXPECT_FALSE(platform.keyExists(Hive::CurrentUser, "software\\" + key)) << key;
    for (const auto& key : c.kept) EXPECT_TRUE(platform.keyExists(Hive::CurrentUser, "software\\" + key)) << key;
  }
}

TEST_F(RegistrationRemovalTest, EmptyKeyNeverNamesTheSoftwareKeyItself) {
  for (const char* registryKey : {"", "\\Title"}) {
    platform::MemoryPlatform platform;  // HKCU\Software has no subkeys yet
    AppContext context(platform);
    context.config.registryKey = registryKey;
    RemoveRegistration(context);
    EXPECT_TRUE(platform.keyExists(Hive::CurrentUser, "software")) << registryKey;
  }
}

TEST_F(RegistrationRemovalTest, GroupFoldersGoInnermostFirstAndProgramsStays) {
  registerGame();
  RemoveRegistration(ctx);
  expectUnregistered();
  EXPECT_FALSE(exists(std::string(kPrograms) + "\\Maker"));
  EXPECT_TRUE(exists(std::string(kPrograms) + "\\Other.lnk"));
}

TEST_F(RegistrationRemovalTest, WalkStopsAtTheProgramsFolder) {
  registerGame();
  ASSERT_TRUE(platform.deleteFile(std::string(kPrograms) + "\\Other.lnk"));
  RemoveRegistration(ctx);
  // Programs, emptied, is tried and goes; the Start Menu above it is never tried.
  EXPECT_FALSE(exists(kPrograms));
  EXPECT_TRUE(exists("C:\\Users\\player\\Start Menu"));
}

TEST_F(RegistrationRemovalTest, UsersFileKeepsTheGroupFolders) {
  registerGame();
  put(group() + "\\readme.txt");
  RemoveRegistration(ctx);
  EXPECT_FALSE(exists(link("Play")));
  EXPECT_FALSE(exists(link("Uninstall")));
  EXPECT_TRUE(exists(group() + "\\readme.txt"));
  EXPECT_FALSE(platform.keyExists(Hive::CurrentUser, userKey()));
}

TEST_F(RegistrationRemovalTest, ExtraLinksFollowTheirFlagsOnly) {
  ctx.config.extra1Flag = 0;
  ctx.config.extra1LinkName = "Manual";
  ctx.config.extra2Flag = 1;
  ctx.config.extra2LinkName = "Site";
  registerGame();
  put(link("Manual"));
  put(link("Site"));
  RemoveRegistration(ctx);
  EXPECT_FALSE(exists(link("Play")));
  EXPECT_FALSE(exists(link("Uninstall")));
  EXPECT_FALSE(exists(link("Site")));
  EXPECT_TRUE(exists(link("Manual")));
}

TEST_F(RegistrationRemovalTest, EmptyMenuGroupTouchesNoFileButRemovesTheKey) {
  registerGame();
  const std::string keptLink = link("Play");
  ctx.config.menuGroup.clear();
  put(std::string(kPrograms) + "\\Play.lnk");  // the link an empty group would name
  RemoveRegistration(ctx);
  EXPECT_FALSE(platform.keyExists(Hive::CurrentUser, userKey()));
  EXPECT_TRUE(exists(keptLink));
  EXPECT_TRUE(exists(std::string(kPrograms) + "\\Play.lnk"));
}

TEST_F(RegistrationRemovalTest, UnreadableProgramsFolderTouchesNoFile) {
  const std::string shellFolders = "software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  registerGame();
  // A value without a Shift-JIS form is as unreadable as a missing one.
  ASSERT_TRUE(platform.markUnrepresentable(Hive::CurrentUser, shellFolders, "Programs"));
  RemoveRegistration(ctx);
  EXPECT_FALSE(platform.keyExists(Hive::CurrentUser, userKey()));
  EXPECT_TRUE(exists(link("Play")));

  registerGame();
  ASSERT_TRUE(platform.deleteKey(Hive::CurrentUser, shellFolders));
  RemoveRegistration(ctx);
  EXPECT_FALSE(platform.keyExists(Hive::CurrentUser, userKey()));
  EXPECT_TRUE(exists(link("Play")));
}

TEST_F(RegistrationRemovalTest, TrailByteInMenuGroupIsNoSeparator) {
  // A scan that cut at the trail byte of "ソ" would try "Programs\A\x83".
  const std::string so = sjis("ソ");
  ctx.config.menuGroup = "A" + so + "\\Title";
  registerGame();
  const std::string decoy = std::string(kPrograms) + "\\A" + so.substr(0, 1);
  ASSERT_TRUE(platform.createDirectory(decoy));
  RemoveRegistration(ctx);
  EXPECT_FALSE(exists(std::string(kPrograms) + "\\A" + so));
  EXPECT_TRUE(exists(decoy));
}

TEST_F(RegistrationRemovalTest, EverythingAlreadyGoneChangesNothing) {
  auto before = platform.snapshot();
  RemoveRegistration(ctx);
  EXPECT_EQ(platform::describeDifference(before, platform.snapshot()), "");
}

}  // namespace
