// The progress dialog and the end of the session on the headless toolkit:
// it refuses to let the session end from the first tick until the
// installation is registered or rolled back, and rolls back first when the
// session ends all the same.
#include "tests/install/dialog_fixture.h"

namespace {

class ProgressSessionTest : public DialogTest {
 protected:
  ProgressSessionTest() {
    put("origin.exe", "MZ");
    put("movie.bin", pattern(3 * ChunkSize));
    ctx.ExtraCopyList->add("movie.bin");
    // Each tick and each message box notes the refusal it meets.
    auto copy = iform.writetimer->onTimer;
    iform.writetimer->onTimer = [this, copy] {
      refusals.push_back(iform.sessionEndRefusal());
      copy();
    };
    platform.setMessageBoxHook([this](const platform::MessageBoxRecord&) {
      refusals.push_back(iform.sessionEndRefusal());
      return platform::kIdOk;
    });
  }
  std::vector<std::string> refusals;
};

// Fault: the session allowed to end halfway through, or refused after the
// registration (the completion box would then hold up a shutdown).
TEST_F(ProgressSessionTest, RefusedFromTheFirstTickUntilRegistered) {
  const std::string installing = texts::kInstallingReason;
  EXPECT_EQ(iform.showModal(), 1);
  EXPECT_EQ(refusals, (Names{installing, installing, installing, installing, installing, ""}));
  EXPECT_EQ(iform.sessionEndRefusal(), "");
}

// Fault: the end of the session leaving the copied part of the game, its
// folders, an open file or the raised timer resolution behind.
TEST_F(ProgressSessionTest, TheEndOfTheSessionRollsBackFirst) {
  const auto before = platform.snapshot();
  auto tick = iform.writetimer->onTimer;
  iform.writetimer->onTimer = [&] {
    tick();
    if (refusals.size() == 3) script.on("iform", [this](toolkit::Form&) { dialogs.app.endSession(); });
  };
  EXPECT_EQ(iform.showModal(), 0);
  EXPECT_EQ(refusals.size(), 3u);
  EXPECT_EQ(describeDifference(before, platform.snapshot()), "");
  EXPECT_EQ(platform.openStreamCount(), 0);
  EXPECT_EQ(platform.highTimerResolutionBalance(), 0);
  EXPECT_EQ(iform.sessionEndRefusal(), "");
}

}  // namespace
