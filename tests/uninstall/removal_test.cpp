// The two removal modes without the dialog: which files and folders go,
// which stay, and that a doubtful InstallPath changes nothing at all.
#include <gtest/gtest.h>

#include <vector>

#include "install/copy_engine.h"
#include "install/copy_plan.h"
#include "tests/support/installed_game.h"
#include "tests/support/sjis_text.h"
#include "uninstall/removal.h"
#include "uninstall/tree_deletion.h"

namespace {

using RemovalTest = InstalledGame;

TEST_F(RemovalTest, KeepSaveDataDeletesOnlyWhatAnInstallationAlwaysCopies) {
  for (const char* name : {"SYSTEM.INI", "origin.exe", "uninst.exe", "SYSTEM.DAT", "manual.txt"}) shipped(name);
  shipped("save\\slot1.dat");
  put("VOICE.DAT");  // on the medium, never installed
  put(dest("BGM.DAT"));  // installed, but not on this medium
  put(dest("score.log"));  // made by the game
  ctx.plan.ExtraCopyList->add("manual.txt");
  ctx.plan.PreserveList->add("save");
  registerGame();

  ASSERT_TRUE(removeInstallation(ctx, RemovalMode::KeepSaveData).complete());

  for (const char* gone : {"SYSTEM.INI", "origin.exe", "uninst.exe", "manual.txt"}) {
    EXPECT_FALSE(exists(dest(gone))) << gone;
  }
  for (const char* kept : {"SYSTEM.DAT", "save\\slot1.dat", "score.log", "BGM.DAT"}) {
    EXPECT_TRUE(exists(dest(kept))) << kept;
  }
  EXPECT_TRUE(exists("E:\\SYSTEM.INI"));  // the medium is left alone
  EXPECT_EQ(ctx.removal.files.items(),
            (std::vector<std::string>{"SYSTEM.INI", "origin.exe", "VOICE.DAT", "uninst.exe", "manual.txt"}));
  // Planned apart from the copy: an installation's plan and counters stay.
  EXPECT_EQ(ctx.plan.CopyPlan->count(), 0);
  EXPECT_EQ(ctx.copy.TotalBytes, 0u);
  expectUnregistered();
}

TEST_F(RemovalTest, KeepSaveDataRemovesExtraFoldersThePlanEmptied) {
  shipped("movie\\op.mpg");
  shipped("movie\\sub\\ed.mpg");
  shipped("music\\a.ogg");
  put(dest("music\\mine.ogg"));  // the user's
  ctx.plan.ExtraCopyList->add("movie");
  ctx.plan.ExtraCopyList->add("music");

  ASSERT_TRUE(removeInstallation(ctx, RemovalMode::KeepSaveData).complete());

  EXPECT_FALSE(exists(dest("movie")));
  EXPECT_FALSE(exists(dest("music\\a.ogg")));
  EXPECT_TRUE(exists(dest("music\\mine.ogg")));
  EXPECT_EQ(ctx.removal.folders.items(),
            (std::vector<std::string>{"C:\\Games", "C:\\Games\\Title", "C:\\Games\\Title\\movie",
                                      "C:\\Games\\Title\\movie\\sub", "C:\\Games\\Title\\music"}));
}

TEST_F(RemovalTest, TrailByteSeparatorIsNotASeparatorInFolderNames) {
  // "ソ" is 0x83 0x5C.
  ctx.config.InstallPath = sjis("C:\\ソフト\\Title");
  const std::string folder = sjis("ソ");
  shipped(folder + "\\" + folder + "\\a.bin");
  shipped(folder + "\\b.bin");
  ctx.plan.ExtraCopyList->add(folder);

  ASSERT_TRUE(removeInstallation(ctx, RemovalMode::KeepSaveData).complete());

  const std::string root = sjis("C:\\ソフト");
  EXPECT_EQ(ctx.removal.folders.items(),
            (std::vector<std::string>{root, ctx.config.InstallPath, dest(folder),
                                      dest(folder + "\\" + folder)}));
  EXPECT_FALSE(exists(root));
  EXPECT_TRUE(exists("C:\\"));
}

TEST_F(RemovalTest, DeleteAllLeavesDotNamesAndTheFoldersAboveThem) {
  ctx.config.InstallPath = "C:\\Games\\Maker\\Title";
  for (const char* name : {"origin.exe", "save\\SYSTEM.DAT", "data\\sub\\deep.bin", "data\\.keep\\x", ".cache\\y",
                           ".profile"}) {
    put(dest(name));
  }
  put("C:\\Games\\Other\\other.exe");
  registerGame();

  ASSERT_TRUE(removeInstallation(ctx, RemovalMode::DeleteAll).complete());

  for (const char* gone : {"origin.exe", "save", "data\\sub"}) EXPECT_FALSE(exists(dest(gone))) << gone;
  for (const char* kept : {"data\\.keep\\x", ".cache\\y", ".profile"}) EXPECT_TRUE(exists(dest(kept))) << kept;
  EXPECT_TRUE(exists("C:\\Games\\Other\\other.exe"));
  expectUnregistered();
}

// Fault: an entry whose name has no Shift-JIS form ("x¥..¥..¥victim", which
// best-fit reads "x\..\..\victim") deleted under a look-alike path, which
// leads out of the game folder.
TEST_F(RemovalTest, DeleteAllLeavesNamesWithoutAShiftJisFormAndTheirFolders) {
  for (const char* name : {"origin.exe", "save\\x-yen-victim\\slot.dat", "data\\Elan.txt", "data\\a.bin"}) {
    put(dest(name));
  }
  put("D:\\victim\\keep.txt");
  ASSERT_TRUE(platform.markUnrepresentable(dest("save\\x-yen-victim")));
  ASSERT_TRUE(platform.markUnrepresentable(dest("data\\Elan.txt")));
  registerGame();

  ASSERT_TRUE(removeInstallation(ctx, RemovalMode::DeleteAll).complete());

  for (const char* gone : {"origin.exe", "data\\a.bin"}) EXPECT_FALSE(exists(dest(gone))) << gone;
  for (const char* kept : {"save\\x-yen-victim\\slot.dat", "data\\Elan.txt"}) EXPECT_TRUE(exists(dest(kept))) << kept;
  EXPECT_TRUE(exists("D:\\victim\\keep.txt"));
  expectUnregistered();
}

TEST_F(RemovalTest, DeleteAllRemovesInstallPathAndItsEmptyAncestorsInnermostFirst) {
  ctx.config.InstallPath = "C:\\Games\\Maker\\Title";
  for (const char* name : {"origin.exe", "save\\SYSTEM.DAT", "data\\sub\\deep.bin"}) put(dest(name));

  ASSERT_TRUE(removeInstallation(ctx, RemovalMode::DeleteAll).complete());

  EXPECT_FALSE(exists("C:\\Games"));
  EXPECT_TRUE(exists("C:\\Users"));
  EXPECT_EQ(ctx.removal.folders.items(),
            (std::vector<std::string>{"C:\\Games", "C:\\Games\\Maker", "C:\\Games\\Maker\\Title"}));
}

// Fault: a file held by the running game, or a read-only one, left while
// the completion is told and the registration goes, so that nothing can
// ever find the folder again to finish the removal.
TEST_F(RemovalTest, WhatStaysIsReportedAndTheRegistrationKeptForAnotherTry) {
  ctx.plan.ExtraCopyList->add("data");
  // A read-only file stays in place: it comes last.
  const std::pair<RemovalMode, bool> cases[] = {
      {RemovalMode::KeepSaveData, false}, {RemovalMode::DeleteAll, false}, {RemovalMode::DeleteAll, true}};
  for (const auto& [mode, readOnly] : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(mode)) + (readOnly ? " read-only" : " held"));
    const std::string locked =
        std::string("data\\") + (readOnly ? "read-only" : "held") + std::to_string(static_cast<int>(mode));
    for (const std::string& name : {std::string("origin.exe"), std::string("data\\a.bin"), locked,
                                    std::string("data\\z.bin")}) {
      shipped(name);
    }
    registerGame();
    std::unique_ptr<platform::Stream> held;
    if (readOnly) {
      ASSERT_TRUE(platform.makeReadOnly(dest(locked)));
    } else {
      held = platform.openStream(dest(locked), platform::OpenMode::Read);
    }

    EXPECT_EQ(removeInstallation(ctx, mode).firstLeft, dest(locked));
    for (const char* gone : {"origin.exe", "data\\a.bin", "data\\z.bin"}) EXPECT_FALSE(exists(dest(gone))) << gone;
    EXPECT_TRUE(platform.keyExists(Hive::CurrentUser, userKey()));
    EXPECT_TRUE(exists(link(ctx.config.gameLinkName)));
    if (readOnly) continue;

    // The game has ended: the second try removes the rest.
    held.reset();
    EXPECT_TRUE(removeInstallation(ctx, mode).complete());
    EXPECT_FALSE(exists(dest("data")));
    expectUnregistered();
  }
}

TEST_F(RemovalTest, DeleteAllRemovesALinkButNotWhatItPointsTo) {
  put("C:\\Saves\\slot1.dat");
  put(dest("origin.exe"));
  ASSERT_TRUE(platform.addJunction(dest("saves"), "C:\\Saves"));
  ASSERT_TRUE(platform.addJunction(dest("broken"), "C:\\Nowhere"));

  ASSERT_TRUE(removeInstallation(ctx, RemovalMode::DeleteAll).complete());

  EXPECT_TRUE(exists("C:\\Saves\\slot1.dat"));
  EXPECT_FALSE(exists(dest("saves")));
  EXPECT_FALSE(exists(dest("broken")));
  EXPECT_FALSE(exists("C:\\Games"));
}

TEST_F(RemovalTest, NothingLeftToRemoveIsNoFailure) {
  put("origin.exe");
  ctx.plan.ExtraCopyList->add("movie");
  for (RemovalMode mode : {RemovalMode::KeepSaveData, RemovalMode::DeleteAll}) {
    auto before = platform.snapshot();
    EXPECT_TRUE(removeInstallation(ctx, mode).complete());
    EXPECT_EQ(platform::describeDifference(before, platform.snapshot()), "");
  }
}

TEST_F(RemovalTest, DoubtfulInstallPathRemovesNothingAtAll) {
  put("C:\\boot.ini");
  put("origin.exe");
  put("C:\\origin.exe");
  put("C:\\Games\\Title\\origin.exe");
  registerGame();
  put("C:\\Users\\player\\origin.exe");
  put("C:\\Users\\player\\letter.txt");
  put("C:\\Mine\\origin.exe");
  ASSERT_TRUE(platform.addJunction("C:\\Linked", "C:\\Mine"));
  ASSERT_TRUE(platform.createDirectories("C:\\Other"));
  ASSERT_TRUE(platform.addJunction("C:\\Other\\Title", "C:\\Mine"));
  using R = RemovalRefusal;
  const std::pair<const char*, R> cases[] = {
      {"", R::UnsafeInstallPath},
      {"C:", R::UnsafeInstallPath},
      {"C:\\", R::UnsafeInstallPath},
      {"C:\\\\", R::UnsafeInstallPath},
      {"Games", R::UnsafeInstallPath},
      {"\\\\server\\share\\x", R::UnsafeInstallPath},
      {"C:\\Games\\..", R::UnsafeInstallPath},
      {"C:\\\xFD\\..", R::UnsafeInstallPath},
      {"C:\\Games\\\x81", R::UnsafeInstallPath},
      {"C:\\Users\\player", R::UnsafeInstallPath},  // not the game's folder
      {"C:\\Linked\\..\\Title", R::UnsafeInstallPath},
      {"C:\\Other\\Title", R::LinkedInstallPath},  // the game folder itself is a link
  };
  for (const auto& [path, refusal] : cases) {
    for (RemovalMode mode : {RemovalMode::KeepSaveData, RemovalMode::DeleteAll}) {
      ctx.config.InstallPath = path;
      auto before = platform.snapshot();
      EXPECT_EQ(removeInstallation(ctx, mode).refusal, refusal) << path;
      EXPECT_EQ(platform::describeDifference(before, platform.snapshot()), "") << path;
    }
  }
}

// Fault: a link above the game folder (another user's, in a folder of
// theirs) re-pointed after the guard's check, while the player reads the
// question or in the middle of the removal, so that the elevated removal
// deletes in the folder it leads to now: one of the same name elsewhere.
TEST_F(RemovalTest, ALinkAboveTheGameFolderRePointedLeadsTheRemovalNowhereElse) {
  ASSERT_TRUE(platform.addDrive('F'));
  for (const char* name : {"origin.exe", "data\\a.bin", "uninst-record.txt", "precious.dat"}) {
    put(std::string("F:\\Victim\\Title\\") + name, "victim's");
  }
  ASSERT_TRUE(platform.createDirectories("F:\\Games"));
  ASSERT_TRUE(platform.addJunction("C:\\Games", "F:\\Games"));
  ctx.plan.ExtraCopyList->add("data");
  enum class When { DuringTheQuestion, DuringTheRemoval };
  for (RemovalMode mode : {RemovalMode::KeepSaveData, RemovalMode::DeleteAll}) {
    for (When when : {When::DuringTheQuestion, When::DuringTheRemoval}) {
      SCOPED_TRACE(std::to_string(static_cast<int>(mode)) + (when == When::DuringTheQuestion ? " question" : " removal"));
      ASSERT_TRUE(platform.repointJunction("C:\\Games", "F:\\Games"));
      for (const char* name : {"origin.exe", "data\\a.bin", "mine.sav"}) shipped(name);
      registerGame();
      ASSERT_EQ(removalRefusal(ctx, mode), RemovalRefusal::None);  // the dialog's check
      const auto victim = [&] {
        auto all = platform.snapshot();
        std::erase_if(all.files, [](const auto& file) { return !file.first.starts_with("F:\\Victim"); });
        all.registry.clear();
        return all;
      };
      const auto before = victim();
      if (when == When::DuringTheQuestion) {
        ASSERT_TRUE(platform.repointJunction("C:\\Games", "F:\\Victim"));
      } else {
        // Planning lists the medium's folder, delete-all the game folder.
        platform.onceAfterListing(mode == RemovalMode::DeleteAll ? "F:\\Games\\Title" : "E:\\data",
                                  [&] { platform.repointJunction("C:\\Games", "F:\\Victim"); });
      }
      const RemovalOutcome outcome = removeInstallation(ctx, mode);
      EXPECT_EQ(platform::describeDifference(before, victim()), "");
      if (when == When::DuringTheQuestion) {
        EXPECT_EQ(outcome.refusal, RemovalRefusal::LinkedInstallPath);
        EXPECT_TRUE(exists("F:\\Games\\Title\\data\\a.bin"));
      } else {
        EXPECT_EQ(outcome.refusal, RemovalRefusal::None);
        EXPECT_FALSE(exists("F:\\Games\\Title\\data\\a.bin"));
        EXPECT_FALSE(exists("F:\\Games\\Title\\origin.exe"));
      }
      platform.clearFaults();
      ASSERT_TRUE(platform.repointJunction("C:\\Games", "F:\\Games"));
      RemovalReport leftOver;
      DeleteTreeContents(platform, "F:\\Games\\Title", leftOver);
    }
  }
}

// Windows removes a junction or folder link even while its target is full,
// so no removal loop may touch one: here the game's parent folder and the
// Start-menu group's parent are the user's links to another drive.
TEST_F(RemovalTest, LinkedFoldersAreNeverRemoved) {
  const std::string linkedGroup = joinPath(kPrograms, "Maker");
  ASSERT_TRUE(platform.addDrive('F'));
  ASSERT_TRUE(platform.createDirectories("F:\\Games"));
  ASSERT_TRUE(platform.createDirectories("F:\\Menu"));
  ASSERT_TRUE(platform.addJunction("C:\\Games", "F:\\Games"));
  ASSERT_TRUE(platform.addJunction(linkedGroup, "F:\\Menu"));
  ctx.plan.ExtraCopyList->add("manual.txt");
  auto isLink = [&](const std::string& path) {
    const uint32_t attributes = platform.fileAttributes(path);
    return attributes != platform::kInvalidAttributes && (attributes & platform::kAttributeReparsePoint);
  };
  enum class By { Rollback, KeepSaveData, DeleteAll };
  for (By by : {By::Rollback, By::KeepSaveData, By::DeleteAll}) {
    SCOPED_TRACE(static_cast<int>(by));
    shipped("manual.txt");
    registerGame();
    if (by == By::Rollback) {
      planCopy(ctx);
      createInstallFolders(ctx);
      RollBackInstall(ctx);
    } else {
      ASSERT_TRUE(
          removeInstallation(ctx, by == By::DeleteAll ? RemovalMode::DeleteAll : RemovalMode::KeepSaveData).complete());
      EXPECT_FALSE(exists(group()));
      EXPECT_TRUE(isLink(linkedGroup));
    }
    EXPECT_FALSE(exists(ctx.config.InstallPath));
    EXPECT_TRUE(isLink("C:\\Games"));
    EXPECT_TRUE(isFolder("F:\\Games"));
    EXPECT_TRUE(isFolder("F:\\Menu"));
  }
}

}  // namespace
