// The chunked copy: one chunk per tick, the two bars as truncated
// quotients, files finished by the first short read, completion, failure
// and cancel with the rollback, and the timer resolution held exactly while
// the copy runs.
#include "install/copy_engine.h"

#include "install/copy_plan.h"
#include "install/registration.h"
#include "tests/support/dialog_fixture.h"

namespace {

using platform::Hive;
using platform::OpenMode;

class CopyEngineTest : public DialogTest {
 protected:
  // Shows the progress dialog without a modal loop, so that the test ticks.
  void start() {
    iform.setModalResult(0);
    show();
    ASSERT_EQ(iform.modalResult(), 0) << "the copy did not start";
    ASSERT_TRUE(iform.writetimer->enabled());
  }
  // Shows it and runs the preparation it posts to itself.
  void show() {
    iform.show();
    ASSERT_TRUE(iform.runPostedCall());
  }
  void tick() { iform.writetimer->tick(); }
  std::pair<int, int> bars() const { return {iform.nowwrite->position(), iform.totalwrite->position()}; }
  bool registered() {
    return platform.registryString(Hive::CurrentUser, "software\\Vendor\\Title", "PATH").has_value();
  }
  // Ticks until the dialog ends; the number of ticks.
  int runToEnd() {
    int ticks = 0;
    while (iform.modalResult() == 0 && ticks < 100) {
      tick();
      ++ticks;
    }
    return ticks;
  }
};

TEST(ProgressPercent, TruncatedQuotientsOfSixtyFourBitCounters) {
  const uint64_t GiB = 1ull << 30;
  struct Case {
    uint64_t done, total;
    bool finished;
    int percent;
  };
  const Case cases[] = {
      {2, 3, false, 66},
      {1, 3, false, 33},
      {ChunkSize, ChunkSize + 1, false, 99},
      {ChunkSize + 1, ChunkSize + 1, true, 100},
      {4 * GiB, 5 * GiB, false, 80},                 // beyond 32 bits
      {5 * GiB - 1, 5 * GiB, false, 99},             // never rounded up
      {(1ull << 56) - 1, 1ull << 56, false, 99},     // done × 100 would overflow
      {0, 0, false, 0},                              // an empty file or plan, not yet done
      {0, 0, true, 100},
      {7, 5, true, 100},                             // a file that grew since it was measured
  };
  for (const auto& c : cases) {
    EXPECT_EQ(progressPercent(c.done, c.total, c.finished), c.percent) << c.done << " of " << c.total;
  }
}

TEST(MeasureSize, SizesBeyondFourGibibytes) {
  // A stream that only pretends to be large.
  struct Large : platform::Stream {
    int64_t position = 0;
    size_t read(void*, size_t) override { return 0; }
    bool readError() const override { return false; }
    size_t write(const void*, size_t) override { return 0; }
    bool flush() override { return true; }
    bool commit() override { return true; }
    bool close() override { return true; }
    bool seek(int64_t offset, platform::SeekOrigin origin) override {
      position = (origin == platform::SeekOrigin::End ? (5ll << 30) + 3 : 0) + offset;
      return true;
    }
    int64_t tell() override { return position; }
  } large;
  EXPECT_EQ(measureSize(large), (5ull << 30) + 3);
}

TEST_F(CopyEngineTest, OneChunkMoreThanAChunkShows99Then100) {
  const std::string content = pattern(ChunkSize + 1);
  put("origin.exe", content);
  start();
  EXPECT_EQ(iform.nowcopy->caption(), "origin.exe");

  tick();
  EXPECT_EQ(bars(), std::make_pair(99, 99));
  EXPECT_EQ(platform.readFile(dest("origin.exe"))->size(), ChunkSize);
  EXPECT_TRUE(platform.messageBoxes().empty());

  tick();
  EXPECT_EQ(bars(), std::make_pair(100, 100));
  EXPECT_EQ(platform.readFile(dest("origin.exe")), content);
  EXPECT_EQ(iform.modalResult(), 1);
}

TEST_F(CopyEngineTest, ThreeChunksShow33And66And100ThenAnEmptyTickFinishes) {
  const std::string content = pattern(3 * ChunkSize);
  put("SYSTEM.INI", content);
  start();
  for (int expected : {33, 66, 100}) {
    tick();
    EXPECT_EQ(bars(), std::make_pair(expected, expected));
    EXPECT_TRUE(iform.writetimer->enabled());
  }
  EXPECT_FALSE(registered());
  tick();
  EXPECT_EQ(platform.readFile(dest("SYSTEM.INI")), content);
  EXPECT_EQ(iform.modalResult(), 1);
  EXPECT_EQ(messages(), Names{texts::kInstallComplete});
}

TEST_F(CopyEngineTest, OneFilePlanCompletesInOneTick) {
  put("origin.exe", "MZ");
  ctx.config.menuGroup = "Title";
  ctx.config.gameLinkName = "Play";
  start();
  EXPECT_TRUE(platform.highTimerResolutionActive());

  tick();

  EXPECT_FALSE(iform.writetimer->enabled());
  EXPECT_EQ(platform.registryString(Hive::CurrentUser, "software\\Vendor\\Title", "PATH"), "D:\\Games\\Title");
  ASSERT_EQ(platform.shellLinks().size(), 1u);
  ASSERT_EQ(platform.messageBoxes().size(), 1u);
  const auto& box = platform.messageBoxes()[0];
  EXPECT_EQ(box.text, texts::kInstallComplete);
  EXPECT_EQ(box.caption, texts::kConfirmCaption);
  EXPECT_EQ(box.type, platform::kMbOk);
  EXPECT_EQ(box.owner, iform.handle());
  EXPECT_EQ(iform.modalResult(), 1);
  EXPECT_FALSE(iform.visible());
  EXPECT_EQ(platform.highTimerResolutionBalance(), 0);
  EXPECT_EQ(platform.openStreamCount(), 0);
}

TEST_F(CopyEngineTest, FilesFollowEachOtherAndTheFileBarIsNotReset) {
  put("SYSTEM.INI", pattern(ChunkSize + ChunkSize / 2));
  put("origin.exe", pattern(ChunkSize / 2));
  start();
  tick();  // first chunk of SYSTEM.INI
  EXPECT_EQ(bars(), std::make_pair(66, 50));
  tick();  // its rest; origin.exe opens
  EXPECT_EQ(bars(), std::make_pair(100, 75));
  EXPECT_EQ(iform.nowcopy->caption(), "origin.exe");
  EXPECT_EQ(ctx.copy.CurrentIndex, 1);
  tick();
  EXPECT_EQ(bars(), std::make_pair(100, 100));
  EXPECT_EQ(iform.modalResult(), 1);
  EXPECT_EQ(platform.readFile(dest("origin.exe")), pattern(ChunkSize / 2));
}

TEST_F(CopyEngineTest, EmptyFilesShow100WhenFinishedAndAnEmptyPlanAtTheEnd) {
  put("SYSTEM.INI", "");
  put("origin.exe", "");
  start();
  tick();
  EXPECT_EQ(bars(), std::make_pair(100, 0));
  tick();
  EXPECT_EQ(bars(), std::make_pair(100, 100));
  EXPECT_EQ(iform.modalResult(), 1);
  EXPECT_EQ(platform.readFile(dest("origin.exe")), "");
}

TEST_F(CopyEngineTest, CountersAreSixtyFourBit) {
  put("origin.exe", "1");
  start();
  // As if four gibibytes had gone before in a plan of five.
  ctx.copy.TotalBytes = 5ull << 30;
  ctx.copy.TotalBytesDone = 4ull << 30;
  tick();
  EXPECT_EQ(ctx.copy.TotalBytesDone, (4ull << 30) + 1);
  EXPECT_EQ(iform.totalwrite->position(), 80);
}

TEST_F(CopyEngineTest, ShortWriteOnTheLastFileLeadsOnlyToTheFailurePath) {
  put("SYSTEM.INI", pattern(10));
  put("origin.exe", pattern(10));
  platform.shortWrite(dest("origin.exe"), 1, 4);
  start();
  EXPECT_EQ(runToEnd(), 2);
  EXPECT_EQ(iform.modalResult(), -1);
  EXPECT_EQ(messages(), Names{texts::kNotEnoughSpace});
  EXPECT_EQ(platform.messageBoxes()[0].caption, texts::kConfirmCaption);
  EXPECT_FALSE(registered());
  EXPECT_FALSE(platform.exists(dest("SYSTEM.INI")));
  EXPECT_FALSE(platform.exists("D:\\Games"));
  EXPECT_EQ(platform.highTimerResolutionBalance(), 0);
  EXPECT_EQ(platform.openStreamCount(), 0);
}

TEST_F(CopyEngineTest, FailuresOfALaterFileRollBack) {
  struct Case {
    const char* name;
    void (*inject)(platform::MemoryPlatform&);
    std::string message;
  };
  const Case cases[] = {
      {"read error", [](platform::MemoryPlatform& p) { p.failReadAfter("E:\\origin.exe", 3); }, readFailed("origin.exe")},
      {"read error after a full chunk",
       [](platform::MemoryPlatform& p) { p.failReadAfter("E:\\SYSTEM.INI", ChunkSize + 1); }, readFailed("SYSTEM.INI")},
      // The source was opened once to be measured.
      {"source gone", [](platform::MemoryPlatform& p) { p.failOpen("E:\\origin.exe", OpenMode::Read, 2); },
       readFailed("origin.exe")},
      // Each cause of a refused destination is told as it is.
      {"destination refused",
       [](platform::MemoryPlatform& p) { p.failOpen("D:\\Games\\Title\\origin.exe", OpenMode::Write); },
       std::string(texts::kCannotCreateFile) + "\nD:\\Games\\Title\\origin.exe"},
      {"destination without write access",
       [](platform::MemoryPlatform& p) {
         p.failOpen("D:\\Games\\Title\\origin.exe", OpenMode::Write, platform::kEveryCall,
                    platform::FileError::AccessDenied);
       },
       std::string(texts::kCannotWriteDestination) + "\nD:\\Games\\Title"},
      {"destination on a full disk",
       [](platform::MemoryPlatform& p) {
         p.failOpen("D:\\Games\\Title\\origin.exe", OpenMode::Write, platform::kEveryCall,
                    platform::FileError::DiskFull);
       },
       texts::kNotEnoughSpace},
      // The disk fills up at the small last file: its 256 bytes wait in the
      // stream's buffer, are reported written, and fail at the flush.
      {"disk full at the last file", [](platform::MemoryPlatform& p) { p.setWriteCapacity(ChunkSize + 12); },
       texts::kNotEnoughSpace},
      {"one byte short at the last file",
       [](platform::MemoryPlatform& p) { p.setWriteCapacity(ChunkSize + 12 + 255); }, texts::kNotEnoughSpace},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Machine m;
    Dialogs d(m);
    m.put("SYSTEM.INI", pattern(ChunkSize + 2));
    m.put("origin.exe", pattern(10));
    m.put("uninst.exe", pattern(256));
    c.inject(m.platform);
    const auto before = m.platform.snapshot();
    Tiform& form = d.iform;
    form.show();
    form.runPostedCall();
    for (int i = 0; i < 10 && form.modalResult() == 0; ++i) form.writetimer->tick();
    EXPECT_EQ(form.modalResult(), -1);
    ASSERT_EQ(m.platform.messageBoxes().size(), 1u);
    EXPECT_EQ(m.platform.messageBoxes()[0].text, c.message);
    EXPECT_EQ(m.platform.messageBoxes()[0].caption, texts::kConfirmCaption);
    EXPECT_EQ(describeDifference(before, m.platform.snapshot()), "");
    EXPECT_EQ(m.platform.highTimerResolutionBalance(), 0);
    EXPECT_EQ(m.platform.openStreamCount(), 0);
  }
}

// Fault: an elevated copy writing through what another user planted at a
// planned name, or put there between the check before the copy and the
// write: a hard link to a file elsewhere (its bytes overwritten), a plan
// folder swapped for a junction (the writes land in its target), save data
// that appeared since the plan (written over, then deleted by the
// rollback). Each stops the copy with the file named; nothing outside the
// game folder changes, and the rollback leaves what the copy did not make.
TEST_F(CopyEngineTest, WritesGoOnlyIntoWhatTheCopyMade) {
  struct Case {
    const char* name;
    std::function<void(Machine&)> plant;    // before the installation
    std::function<void(Machine&)> meddle;   // after the first tick
    std::string refused;                    // the destination named
    std::string kept;                       // a destination that keeps its bytes
  };
  const Case cases[] = {
      {"a hard link at a planned name",
       [](Machine& m) { ASSERT_TRUE(m.platform.addHardLink("C:\\Victim\\precious.dat", m.dest("uninst.exe"))); },
       [](Machine&) {}, "uninst.exe", ""},
      {"a plan folder swapped for a junction", [](Machine&) {},
       [](Machine& m) {
         ASSERT_TRUE(m.platform.removeDirectory(m.dest("data")));
         ASSERT_TRUE(m.platform.addJunction(m.dest("data"), "C:\\Victim"));
       },
       "data\\a.bin", ""},
      {"save data that appeared", [](Machine&) {},
       [](Machine& m) { ASSERT_TRUE(m.platform.writeFile(m.dest("save\\slot1.sav"), "the player's")); },
       "save\\slot1.sav", "save\\slot1.sav"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Machine m;
    Dialogs d(m);
    m.put("origin.exe", pattern(ChunkSize + 2));
    m.put("uninst.exe", "new");
    m.put("data\\a.bin", "new");
    m.put("save\\slot1.sav", "new");
    m.ctx.plan.ExtraCopyList->add("data");
    m.ctx.plan.PreserveList->add("save");
    m.put("C:\\Victim\\precious.dat", "precious");
    m.put("C:\\Victim\\a.bin", "victim's");
    ASSERT_TRUE(m.platform.createDirectories(m.ctx.config.InstallPath));
    c.plant(m);
    const auto victim = m.platform.snapshot().files;
    Tiform& form = d.iform;
    form.show();
    form.runPostedCall();
    for (int i = 0; i < 10 && form.modalResult() == 0; ++i) {
      form.writetimer->tick();
      if (i == 0) c.meddle(m);
    }
    EXPECT_EQ(form.modalResult(), -1);
    ASSERT_EQ(m.platform.messageBoxes().size(), 1u);
    EXPECT_EQ(m.platform.messageBoxes()[0].text, std::string(texts::kCannotCreateFile) + "\n" + m.dest(c.refused));
    for (const char* file : {"C:\\Victim\\precious.dat", "C:\\Victim\\a.bin"}) {
      EXPECT_EQ(m.platform.readFile(file), victim.at(file).content) << file;
    }
    EXPECT_FALSE(m.platform.exists(m.dest("origin.exe")));  // rolled back
    if (!c.kept.empty()) {
      EXPECT_EQ(m.platform.readFile(m.dest(c.kept)), "the player's");
    }
    EXPECT_EQ(m.platform.openStreamCount(), 0);
  }
}

TEST_F(CopyEngineTest, ConfiguredSourceThatNeverOpensIsPlannedThenReported) {
  put("data\\a.bin", "1");
  put("data\\locked.bin", "12345");
  ctx.plan.ExtraCopyList->add("data");
  platform.failOpen("E:\\data\\locked.bin", OpenMode::Read);
  const auto before = platform.snapshot();
  start();
  EXPECT_EQ(ctx.copy.TotalBytes, 1u);
  EXPECT_EQ(runToEnd(), 1);
  EXPECT_EQ(iform.modalResult(), -1);
  EXPECT_EQ(messages(), Names{readFailed("data\\locked.bin")});
  EXPECT_EQ(describeDifference(before, platform.snapshot()), "");
  EXPECT_EQ(platform.highTimerResolutionBalance(), 0);
  EXPECT_EQ(platform.openStreamCount(), 0);
}

TEST_F(CopyEngineTest, FirstPairFailures) {
  put("SYSTEM.INI", "1");
  put("data\\a.bin", "2");
  ctx.plan.ExtraCopyList->add("data");
  platform.failOpen(dest("SYSTEM.INI"), OpenMode::Write, 1, platform::FileError::DiskFull);
  show();
  // The destination refused: the folders stay and nothing is rolled back.
  EXPECT_EQ(iform.modalResult(), -1);
  EXPECT_EQ(messages(), Names{texts::kNotEnoughSpace});
  EXPECT_TRUE(isFolder("D:\\Games\\Title\\data"));
  EXPECT_EQ(platform.highTimerResolutionBalance(), 0);
  EXPECT_FALSE(iform.writetimer->enabled());

  // The source gone between measuring and copying: rolled back.
  platform.failOpen("E:\\SYSTEM.INI", OpenMode::Read, 2);
  platform.removeDirectory("D:\\Games\\Title\\data");
  platform.removeDirectory("D:\\Games\\Title");
  platform.removeDirectory("D:\\Games");
  const auto before = platform.snapshot();
  show();
  EXPECT_EQ(iform.modalResult(), -1);
  EXPECT_EQ(messages(), (Names{texts::kNotEnoughSpace, readFailed("SYSTEM.INI")}));
  EXPECT_EQ(describeDifference(before, platform.snapshot()), "");
  EXPECT_EQ(platform.highTimerResolutionBalance(), 0);
  EXPECT_EQ(platform.openStreamCount(), 0);
}

TEST_F(CopyEngineTest, EmptyPlanCreatesAndOpensNothing) {
  ctx.plan.ExtraCopyList->add("missing");
  const auto before = platform.snapshot();
  show();
  EXPECT_EQ(iform.modalResult(), -1);
  EXPECT_EQ(messages(), Names{texts::kNothingToInstall});
  EXPECT_EQ(platform.messageBoxes()[0].caption, texts::kConfirmCaption);
  EXPECT_EQ(describeDifference(before, platform.snapshot()), "");
  EXPECT_EQ(platform.openCount(OpenMode::Write), 0);
  EXPECT_EQ(platform.highTimerResolutionBalance(), 0);
}

// Five files, the second long enough to be cancelled in the middle.
class CancelTest : public CopyEngineTest {
 protected:
  CancelTest() {
    for (const char* name : {"a.bin", "b.bin", "c.bin", "d.bin", "e.bin"}) {
      put(std::string("data\\sub\\") + name, name[0] == 'b' ? pattern(2 * ChunkSize + 1) : pattern(5));
    }
    ctx.plan.ExtraCopyList->add("data");
  }
  void cancelDuringTheSecondFile() {
    start();
    tick();
    tick();
    ASSERT_EQ(ctx.copy.CurrentIndex, 1);
    ASSERT_EQ(platform.readFile(dest("data\\sub\\b.bin"))->size(), ChunkSize);
    iform.Button1->click();
    EXPECT_EQ(iform.modalResult(), -1);
    EXPECT_FALSE(iform.writetimer->enabled());
    EXPECT_TRUE(platform.messageBoxes().empty());
    EXPECT_EQ(platform.highTimerResolutionBalance(), 0);
    EXPECT_EQ(platform.openStreamCount(), 0);
  }
};

TEST_F(CancelTest, DeletesEveryPlannedFileAndRemovesFoldersLastToFirst) {
  const auto before = platform.snapshot();
  cancelDuringTheSecondFile();
  // Only a removal from the innermost outwards leaves none of them behind.
  EXPECT_EQ(createdDirs(),
            (Names{"D:\\Games", "D:\\Games\\Title", "D:\\Games\\Title\\data", "D:\\Games\\Title\\data\\sub"}));
  EXPECT_EQ(describeDifference(before, platform.snapshot()), "");
}

TEST_F(CancelTest, PreservedSaveDataKeepsItsFolders) {
  put("SYSTEM.DAT", "new");
  put(dest("SYSTEM.DAT"), "saved");
  cancelDuringTheSecondFile();
  EXPECT_EQ(platform.readFile(dest("SYSTEM.DAT")), "saved");
  EXPECT_FALSE(platform.exists(dest("data")));
  EXPECT_EQ(platform.listFolder("D:\\Games\\Title"), (Names{".", "..", "SYSTEM.DAT"}));
}

TEST_F(CancelTest, ReinstallThenCancelRemovesEveryPlannedNameEvenNotYetReached) {
  for (const char* name : {"a.bin", "b.bin", "c.bin", "d.bin", "e.bin"}) put(dest(std::string("data\\sub\\") + name), "old");
  put(dest("mine.txt"), "the player's");
  cancelDuringTheSecondFile();
  EXPECT_EQ(platform.listFolder("D:\\Games\\Title"), (Names{".", "..", "mine.txt"}));
}

TEST_F(CopyEngineTest, TheChunkBufferIsAllocatedOnce) {
  put("origin.exe", "MZ");
  start();
  const char* buffer = ctx.copy.CopyBuffer.data();
  EXPECT_EQ(ctx.copy.CopyBuffer.size(), ChunkSize);
  runToEnd();
  start();
  runToEnd();
  EXPECT_EQ(ctx.copy.CopyBuffer.data(), buffer);
  EXPECT_EQ(iform.modalResult(), 1);
}

}  // namespace
