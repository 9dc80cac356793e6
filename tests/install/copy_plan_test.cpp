// Planning an installation: which files, in which order, counted how, and
// which folders are created and recorded for the rollback.
#include "install/copy_plan.h"
#include "install/installation.h"

#include "tests/support/install_fixture.h"

namespace {

using CopyPlanTest = InstallTest;

// What the progress dialog does before it opens the first file.
void prepare(AppContext& ctx) {
  planCopy(ctx);
  createInstallFolders(ctx);
}

TEST_F(CopyPlanTest, StandardFilesInTableOrderThenExtraSaveDataAndPreserved) {
  // Created out of table order, so that the plan's order is the table's.
  put("uninst.exe", "12345");
  put("SYSTEM.INI", "1");
  put("origin.exe", "123");
  put("readme.txt", "1234567");
  put("SYSTEM.DAT", "12");
  put("save\\slot1.sav", "1234");
  ctx.plan.ExtraCopyList->add("readme.txt");
  ctx.plan.PreserveList->add("save");

  prepare(ctx);

  EXPECT_EQ(plan(), (Names{"SYSTEM.INI", "origin.exe", "uninst.exe", "readme.txt", "SYSTEM.DAT", "save\\slot1.sav"}));
  EXPECT_EQ(ctx.copy.TotalBytes, 1u + 3 + 5 + 7 + 2 + 4);
  EXPECT_EQ(ctx.copy.FileCount, 6);
}

TEST_F(CopyPlanTest, AFileNamedTwiceIsPlannedAndCountedTwice) {
  put("origin.exe", "123");
  ctx.plan.ExtraCopyList->add("origin.exe");
  ctx.plan.ExtraCopyList->add("ORIGIN.EXE");

  prepare(ctx);

  EXPECT_EQ(plan(), (Names{"origin.exe", "origin.exe", "ORIGIN.EXE"}));
  EXPECT_EQ(ctx.copy.TotalBytes, 9u);
}

TEST_F(CopyPlanTest, PreserveRuleDecidesFileByFile) {
  put("SYSTEM.DAT", "new");
  put("save\\1.sav", "new");
  put("save\\2.sav", "new");
  put("SYSTEM.INI", "new");
  ctx.plan.PreserveList->add("save");
  struct Case {
    const char* name;
    Names atDestination;
    Names planned;
  };
  const Case cases[] = {
      {"nothing installed yet", {}, {"SYSTEM.INI", "SYSTEM.DAT", "save\\1.sav", "save\\2.sav"}},
      {"save data kept", {"SYSTEM.DAT", "save\\1.sav"}, {"SYSTEM.INI", "save\\2.sav"}},
      // The standard files are copied whether or not they are there.
      {"all there", {"SYSTEM.INI", "SYSTEM.DAT", "save\\1.sav", "save\\2.sav"}, {"SYSTEM.INI"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (const auto& name : c.atDestination) put(dest(name), "old");
    prepare(ctx);
    EXPECT_EQ(plan(), c.planned);
    EXPECT_EQ(ctx.copy.TotalBytes, 3u * c.planned.size());
    for (const auto& name : c.atDestination) EXPECT_EQ(platform.readFile(dest(name)), "old") << name;
  }

  // Save data held open by the running game is still there: never planned.
  platform.failOpen(dest("SYSTEM.DAT"), platform::OpenMode::Read);
  prepare(ctx);
  EXPECT_EQ(plan(), Names{"SYSTEM.INI"});
}

TEST_F(CopyPlanTest, FoldersAreListedInDeliveredOrderPassingOverDotNames) {
  put("data\\a.bin");
  put("data\\.keep");
  put("data\\.cache\\x.bin");
  put("data\\sub\\b.bin");
  put("data\\sub\\.hidden\\c.bin");
  ctx.plan.ExtraCopyList->add("data");

  prepare(ctx);
  EXPECT_EQ(plan(), (Names{"data\\a.bin", "data\\sub\\b.bin"}));

  // No sorting: the plan follows the listing.
  platform.setListingOrder("E:\\data", {"sub", "a.bin"});
  prepare(ctx);
  EXPECT_EQ(plan(), (Names{"data\\sub\\b.bin", "data\\a.bin"}));
}

// Fault: an entry written with "/" planned as written, so that its folders
// are never made ("D:\\Games\\Title\\data/bgm" is one name to the folder
// chain) and every file of it fails as a false "disk full".
TEST_F(CopyPlanTest, SlashesAndRepeatedSeparatorsInEntriesArePlannedWithOneBackslash) {
  put("data\\bgm\\a.ogg");
  put("data\\voice.dat");
  ctx.plan.ExtraCopyList->add("data/bgm");
  ctx.plan.PreserveList->add("data//voice.dat");

  prepare(ctx);
  EXPECT_EQ(plan(), (Names{"data\\bgm\\a.ogg", "data\\voice.dat"}));
  EXPECT_EQ(createdDirs(), (Names{"D:\\Games", "D:\\Games\\Title", "D:\\Games\\Title\\data",
                                  "D:\\Games\\Title\\data\\bgm"}));
  EXPECT_TRUE(isFolder("D:\\Games\\Title\\data\\bgm"));
}

TEST_F(CopyPlanTest, MissingAndEmptyEntriesAddNothing) {
  put("SYSTEM.INI", "1");
  put("root.txt", "1");
  // An empty entry would otherwise list the root of the medium's drive.
  for (const char* entry : {"", "missing", "missing\\deeper", "missing.txt"}) {
    ctx.plan.ExtraCopyList->add(entry);
    ctx.plan.PreserveList->add(entry);
  }

  prepare(ctx);

  EXPECT_EQ(plan(), (Names{"SYSTEM.INI"}));
  EXPECT_EQ(ctx.copy.TotalBytes, 1u);
}

TEST_F(CopyPlanTest, SourceThatCannotBeOpenedIsPlannedWithSizeZero) {
  put("SYSTEM.INI", "1");
  put("data\\locked.bin", "12345");
  put("data\\open.bin", "123");
  platform.failOpen("E:\\data\\locked.bin", platform::OpenMode::Read);
  platform.failOpen("E:\\SYSTEM.INI", platform::OpenMode::Read);
  ctx.plan.ExtraCopyList->add("data");

  prepare(ctx);

  // A standard file is present only when it opens; a configured one that
  // exists is planned and its copy will report it.
  EXPECT_EQ(plan(), (Names{"data\\locked.bin", "data\\open.bin"}));
  EXPECT_EQ(ctx.copy.TotalBytes, 3u);
  EXPECT_EQ(platform.openStreamCount(), 0);
}

TEST_F(CopyPlanTest, FolderChainAndPlanFoldersAreRecordedOnceParentsFirst) {
  platform.createDirectories("D:\\Games");
  put("data\\sub\\b.bin");
  put("data\\a.bin");
  put("data\\sub\\c.bin");
  put("DATA2\\x.bin");
  ctx.plan.ExtraCopyList->add("data");
  // Same folders in other letter case: recorded once.
  ctx.plan.ExtraCopyList->add("DATA\\SUB\\b.bin");
  ctx.plan.ExtraCopyList->add("DATA2\\x.bin");

  prepare(ctx);

  EXPECT_EQ(createdDirs(), (Names{"D:\\Games", "D:\\Games\\Title", "D:\\Games\\Title\\data",
                                  "D:\\Games\\Title\\data\\sub", "D:\\Games\\Title\\DATA2"}));
  for (const auto& folder : createdDirs()) EXPECT_TRUE(isFolder(folder)) << folder;
  EXPECT_EQ(ctx.copy.FileCount, 5);

  // The uninstaller records the same list without creating anything.
  const Names recorded = createdDirs();
  ctx.config.InstallPath = "C:\\Games\\Title";
  ctx.plan.CreatedDirs->clear();
  const auto before = platform.snapshot();
  recordInstallPathChain(ctx, *ctx.plan.CreatedDirs);
  recordPlanFolders(ctx, *ctx.plan.CopyPlan, *ctx.plan.CreatedDirs);
  EXPECT_EQ(describeDifference(before, platform.snapshot()), "");
  ASSERT_EQ(createdDirs().size(), recorded.size());
  for (size_t i = 0; i < recorded.size(); ++i) {
    EXPECT_EQ(createdDirs()[i], "C" + recorded[i].substr(1));
  }
}

// Fault: the folders an elevated installation makes under a drive root
// inheriting "Authenticated Users: Modify" from it, so that another user
// replaces origin.exe or uninst.exe before an administrator runs it. The
// outermost folder made gets an access list of its own, which the rest
// inherit; a folder that existed keeps its own; unelevated, nothing changes.
TEST_F(CopyPlanTest, TheOutermostFolderMadeElevatedIsProtected) {
  put("data\\a.bin");
  ctx.plan.ExtraCopyList->add("data");
  struct Case {
    bool elevated;
    const char* existing;   // made before the installation
    const char* protectedFolder;  // nullptr: none
  };
  const Case cases[] = {
      {true, nullptr, "D:\\Games"},
      {true, "D:\\Games", "D:\\Games\\Title"},
      {true, "D:\\Games\\Title", nullptr},
      {false, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.elevated ? "elevated" : "unelevated") + ", existing " + (c.existing ? c.existing : "-"));
    platform.setElevated(c.elevated);
    if (c.existing) {
      ASSERT_TRUE(platform.createDirectories(c.existing));
    }
    prepare(ctx);
    for (const char* folder : {"D:\\Games", "D:\\Games\\Title", "D:\\Games\\Title\\data"}) {
      EXPECT_TRUE(isFolder(folder)) << folder;
      EXPECT_EQ(platform.protectedAccess(folder), c.protectedFolder && std::string(folder) == c.protectedFolder)
          << folder;
    }
    for (const char* folder : {"D:\\Games\\Title\\data", "D:\\Games\\Title", "D:\\Games"}) {
      ASSERT_TRUE(platform.removeDirectory(folder)) << folder;
    }
  }
}

TEST_F(CopyPlanTest, TrailByteBackslashIsNeverASeparator) {
  const std::string so = sjis("ソフト");  // 0x83 0x5C ...
  ASSERT_EQ(so[1], '\\');
  struct Case {
    std::string installPath;
    std::string entry;
    Names recorded;
  };
  const Case cases[] = {
      {"D:\\" + so + "\\Title", so + "\\a.bin",
       {"D:\\" + so, "D:\\" + so + "\\Title", "D:\\" + so + "\\Title\\" + so}},
      // A name ending in the trail byte: "D:\ソ" then "D:\ソ\ソ".
      {"D:\\" + sjis("ソ") + "\\" + sjis("ソ"), sjis("ソ") + "\\" + sjis("ソ") + "\\a.bin",
       {"D:\\" + sjis("ソ"), "D:\\" + sjis("ソ") + "\\" + sjis("ソ"),
        "D:\\" + sjis("ソ") + "\\" + sjis("ソ") + "\\" + sjis("ソ"),
        "D:\\" + sjis("ソ") + "\\" + sjis("ソ") + "\\" + sjis("ソ") + "\\" + sjis("ソ")}},
      // Drive-relative, a double-byte character right after the colon.
      {"D:" + sjis("ソ") + "\\Title", "a.bin", {"D:" + sjis("ソ"), "D:" + sjis("ソ") + "\\Title"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    put(c.entry);
    ctx.plan.ExtraCopyList->clear();
    ctx.plan.ExtraCopyList->add(c.entry);
    ctx.config.InstallPath = c.installPath;
    prepare(ctx);
    EXPECT_EQ(plan(), Names{c.entry});
    EXPECT_EQ(createdDirs(), c.recorded);
    for (const auto& folder : c.recorded) EXPECT_TRUE(isFolder(folder));
  }
}

TEST_F(CopyPlanTest, EveryShowingStartsFromAnEmptyPlan) {
  put("SYSTEM.INI", "1");
  ctx.plan.CopyPlan->add("stale");
  ctx.plan.CreatedDirs->add("C:\\stale");
  ctx.copy.TotalBytes = 99;

  prepare(ctx);
  prepare(ctx);

  EXPECT_EQ(plan(), Names{"SYSTEM.INI"});
  EXPECT_EQ(createdDirs(), (Names{"D:\\Games", "D:\\Games\\Title"}));
  EXPECT_EQ(ctx.copy.TotalBytes, 1u);
}

// Fault: the free space compared with the bytes the files hold (a drive of
// 4 KiB clusters takes 4 KiB for every small file), with files that stand at
// the destination already counted again, or in 32 bits.
TEST_F(CopyPlanTest, SpaceNeededCountsWholeClustersOfWhatIsNotThereYet) {
  put("SYSTEM.INI", std::string(1, 'i'));
  put("origin.exe", std::string(4096, 'o'));
  put("data\\big.bin", std::string(4097, 'b'));
  put("SYSTEM.DAT", "save");
  put(dest("SYSTEM.DAT"), "the player's");      // preserved: not planned
  put(dest("origin.exe"), std::string(10, 'x'));  // overwritten in place
  ctx.plan.ExtraCopyList->add("data");
  planCopy(ctx);
  ASSERT_EQ(plan(), (Names{"SYSTEM.INI", "origin.exe", "data\\big.bin"}));
  struct Case {
    uint64_t cluster, needed;
  };
  for (const Case& c : {Case{4096, 4096 + 0 + 8192}, Case{1, 1 + 4086 + 4097}, Case{0, 1 + 4086 + 4097}}) {
    EXPECT_EQ(spaceNeeded(ctx, c.cluster), c.needed) << c.cluster;
  }
  ctx.copy.PlannedSizes[2] = (5ull << 30) + 1;  // a dual-layer disc's movie
  EXPECT_EQ(spaceNeeded(ctx, 4096), 4096 + (5ull << 30) + 4096);
}

}  // namespace
