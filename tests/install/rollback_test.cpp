// Every way an installation of a small medium can fail, one at a time:
// each write falling short, each open failing, each read failing and a
// cancel at each tick. The dialog is driven through the scripted user until
// the destination dialog ends with -1; the machine must then be as it was
// before, save for the folders a refused first destination leaves (no
// rollback runs there), with no stream open, the timer resolution back and
// the system free to sleep. install.exe /S, which runs the dialog's
// installation without its window, must leave the machine exactly as the
// dialog did at each of these points.
#include <set>

#include "launcher/exit_codes.h"
#include "launcher/unattended.h"
#include "tests/support/dialog_fixture.h"

namespace {

using platform::OpenMode;
using Injection = std::function<void(platform::MemoryPlatform&)>;

const std::string kChunkAndABit = InstallTest::pattern(ChunkSize + 10);
const std::string kOneChunk = InstallTest::pattern(ChunkSize);

// The medium and the machine before the installation: a standard file of
// two chunks, one of exactly a chunk (finished by an empty read), an empty
// one, a configured folder, and save data of which one file is already
// installed and must survive.
struct Medium : Machine {
  Medium() {
    put("SYSTEM.INI", "[game]");
    put("origin.exe", kChunkAndABit);
    put("uninst.exe", "");
    put("data\\a.bin", kOneChunk);
    put("data\\sub\\b.bin", "bb");  // every write is of two bytes or more
    put("SYSTEM.DAT", "fresh");
    put("save\\slot1.sav", "fresh");
    ctx.plan.ExtraCopyList->add("data");
    ctx.plan.PreserveList->add("save");
    put("D:\\Games\\Title\\SYSTEM.DAT", "the player's progress");
    ctx.config.menuGroup = "Vendor";
    ctx.config.gameLinkName = "Play";
  }
};

// The streams the copy writes: ceil(size / ChunkSize) writes of one byte or
// more for each planned file.
constexpr int kCopyWrites = 2 + 1 + 1 + 1 + 1;  // origin.exe, SYSTEM.INI, a, b, slot1 (uninst.exe: none)
constexpr int kPlannedFiles = 6;

struct Outcome {
  int result = 0;
  bool firstDestinationRefused = false;
  std::string difference;
  platform::Snapshot machine;  // as the installation left it
  int openStreams = 0;
  int timerBalance = 0;
  bool keptAwake = false;
  std::string savedProgress;
  long ticks = 0;
};

// One installation with `inject` applied first; `cancelAtTick` >= 0 clicks
// the cancel button after that many ticks.
Outcome install(const Injection& inject, int cancelAtTick = -1) {
  Medium m;
  Dialogs d(m);
  const auto before = m.platform.snapshot();
  inject(m.platform);
  Tinstform& instform = d.instform;
  Tiform& iform = d.iform;

  int ticks = 0;
  auto copyTick = iform.writetimer->onTimer;
  iform.writetimer->onTimer = [&] {
    copyTick();
    if (++ticks == cancelAtTick) d.script.click("iform", "Button1");
  };
  d.script.on("instform", [&](toolkit::Form&) {
    instform.dirpath->setText("D:\\Games");
    if (cancelAtTick == 0) d.script.click("iform", "Button1");
    instform.Button2->click();
    d.script.click("instform", "Button3");
  });

  Outcome run;
  run.result = instform.showModal();
  run.ticks = ticks;
  const auto& boxes = m.platform.messageBoxes();
  run.firstDestinationRefused = ticks == 0 && boxes.size() == 2 && boxes[1].text.starts_with(texts::kCannotCreateFile);
  auto after = m.platform.snapshot();
  run.machine = after;
  if (run.firstDestinationRefused) {
    // The folders the refused first destination leaves behind, and only those.
    for (const auto& folder : m.ctx.plan.CreatedDirs->items()) {
      if (!before.files.count(folder)) after.files.erase(folder);
    }
  }
  run.difference = describeDifference(before, after);
  run.openStreams = m.platform.openStreamCount();
  run.timerBalance = m.platform.highTimerResolutionBalance();
  run.keptAwake = m.platform.keptAwake();
  run.savedProgress = m.platform.readFile("D:\\Games\\Title\\SYSTEM.DAT").value_or("(gone)");
  return run;
}

void expectRolledBack(const Outcome& run) {
  EXPECT_EQ(run.result, -1);
  EXPECT_EQ(run.difference, "");
  EXPECT_EQ(run.openStreams, 0);
  EXPECT_EQ(run.timerBalance, 0);
  EXPECT_FALSE(run.keptAwake);
  EXPECT_EQ(run.savedProgress, "the player's progress");
}

// Fault: the unattended installation handling a stop otherwise than the
// dialog (no rollback, a rollback of what a refused first destination
// left, the system kept awake) or telling it as a success.
void expectUnattendedAlike(const Injection& inject, const Outcome& dialog) {
  Medium m;
  inject(m.platform);
  const int code = installUnattended(m.ctx, std::string("D:\\Games"));
  EXPECT_EQ(code == kExitDone, dialog.result == 1) << code;
  EXPECT_EQ(platform::describeDifference(dialog.machine, m.platform.snapshot()), "");
  EXPECT_EQ(m.platform.openStreamCount(), 0);
  EXPECT_FALSE(m.platform.keptAwake());
}

// Both ways of installing met by the same failure.
Outcome installBothWays(const Injection& inject) {
  Outcome run = install(inject);
  expectUnattendedAlike(inject, run);
  return run;
}

TEST(Rollback, EveryFailurePointLeavesTheMachineAsItWas) {
  // The undisturbed installation, to count the failure points.
  Medium clean;
  Dialogs d(clean);
  d.script.on("instform", [&](toolkit::Form&) { d.instform.dirpath->setText("D:\\Games"); });
  d.script.click("instform", "Button2");
  ASSERT_EQ(d.instform.showModal(), 1);
  ASSERT_EQ(clean.ctx.plan.CopyPlan->count(), kPlannedFiles);
  ASSERT_EQ(clean.platform.writeCount(), kCopyWrites + 2);  // and the install record and the one shortcut
  const long cleanTicks = d.script.ticks();
  const int readOpens = clean.platform.openCount(OpenMode::Read);
  ASSERT_EQ(readOpens, 2 * kPlannedFiles);  // measured, then copied
  ASSERT_EQ(clean.platform.openCount(OpenMode::Write), kPlannedFiles + 2);

  for (int nth = 1; nth <= kCopyWrites; ++nth) {
    for (size_t accepted : {size_t{0}, size_t{1}}) {
      SCOPED_TRACE("write " + std::to_string(nth) + " takes " + std::to_string(accepted));
      expectRolledBack(installBothWays([&](auto& p) { p.shortWrite("", nth, accepted); }));
    }
  }
  for (int nth = 1; nth <= kPlannedFiles; ++nth) {
    SCOPED_TRACE("destination open " + std::to_string(nth));
    Outcome run = installBothWays([&](auto& p) { p.failOpen("", OpenMode::Write, nth); });
    EXPECT_EQ(run.firstDestinationRefused, nth == 1);
    expectRolledBack(run);
  }
  // The first half of the read opens measures the plan: a standard file that
  // does not open is taken as absent, a configured one is planned as 0
  // bytes and copied in full. The second half opens the copy's sources.
  for (int nth = 1; nth <= readOpens; ++nth) {
    SCOPED_TRACE("source open " + std::to_string(nth));
    Outcome run = installBothWays([&](auto& p) { p.failOpen("", OpenMode::Read, nth); });
    if (nth <= kPlannedFiles) {
      EXPECT_EQ(run.result, 1);
      EXPECT_EQ(run.savedProgress, "the player's progress");
      continue;
    }
    expectRolledBack(run);
  }
  for (const char* source : {"E:\\origin.exe", "E:\\data\\a.bin", "E:\\SYSTEM.INI", "E:\\save\\slot1.sav"}) {
    for (uint64_t offset : {uint64_t{0}, uint64_t{1}, uint64_t{ChunkSize}}) {
      SCOPED_TRACE(std::string(source) + " fails to read at " + std::to_string(offset));
      Outcome run = installBothWays([&](auto& p) { p.failReadAfter(source, offset); });
      if (offset >= clean.platform.readFile(source)->size()) {
        EXPECT_EQ(run.result, 1);  // nothing left to fail
        continue;
      }
      expectRolledBack(run);
    }
  }
  for (int tick = 0; tick < cleanTicks; ++tick) {
    SCOPED_TRACE("cancel after tick " + std::to_string(tick));
    Outcome run = install([](auto&) {}, tick);
    EXPECT_EQ(run.ticks, tick);
    expectRolledBack(run);
  }
}

}  // namespace
