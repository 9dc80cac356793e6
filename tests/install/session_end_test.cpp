// The progress dialog refuses to let the session end from the first tick
// until the installation is registered (the rollback when the session ends
// all the same: toolkit-win32's SessionEndTest).
#include "tests/install/dialog_fixture.h"

namespace {

// Fault: the session allowed to end halfway through, or refused after the
// registration (the completion box would then hold up a shutdown).
TEST_F(DialogTest, TheSessionEndIsRefusedFromTheFirstTickUntilRegistered) {
  put("origin.exe", "MZ");
  put("movie.bin", pattern(3 * ChunkSize));
  ctx.ExtraCopyList->add("movie.bin");
  // Each tick and the completion box note the refusal they meet.
  std::vector<std::string> refusals;
  auto copy = iform.writetimer->onTimer;
  iform.writetimer->onTimer = [&] {
    refusals.push_back(iform.sessionEndRefusal());
    copy();
  };
  platform.setMessageBoxHook([&](const platform::MessageBoxRecord&) {
    refusals.push_back(iform.sessionEndRefusal());
    return platform::kIdOk;
  });
  const std::string installing = texts::kInstallingReason;
  EXPECT_EQ(iform.showModal(), 1);
  EXPECT_EQ(refusals, (Names{installing, installing, installing, installing, installing, ""}));
  EXPECT_EQ(iform.sessionEndRefusal(), "");
}

}  // namespace
