// The progress dialog refuses to let the session end from the first tick
// until the installation is registered (the rollback when the session ends
// all the same: toolkit-win32's SessionEndTest).
#include "tests/support/dialog_fixture.h"

namespace {

// Fault: the session allowed to end halfway through, or refused after the
// registration (the completion box would then hold up a shutdown).
TEST_F(DialogTest, TheSessionEndIsRefusedFromTheFirstTickUntilRegistered) {
  put("origin.exe", "MZ");
  put("movie.bin", pattern(3 * ChunkSize));
  ctx.plan.ExtraCopyList->add("movie.bin");
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

namespace {

// Fault: the preparation run before the dialog shows, so that its messages
// are owned by a hidden window (no taskbar button, lost behind others); or
// the session allowed to end while the first folders are made.
TEST(PreparationTest, RunsWithTheDialogShownAndOwnsItsMessages) {
  struct Case {
    const char* what;
    std::function<void(Machine&)> arrange;
    const char* refusal;  // met by the message
  };
  const Case cases[] = {
      {"nothing to install", [](Machine&) {}, ""},
      {"no right to write where the first folder goes",
       [](Machine& m) {
         m.put("origin.exe", "MZ");
         m.platform.denyWrites("D:\\");
       },
       texts::kInstallingReason},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Machine m;
    Dialogs d(m);
    c.arrange(m);
    Tiform& iform = d.iform;
    // Inside the show handler the window is not on the screen yet.
    bool inShowHandler = false;
    auto showHandler = iform.onShow;
    iform.onShow = [&] {
      inShowHandler = true;
      showHandler();
      inShowHandler = false;
    };
    bool shown = false;
    std::string refusal = "(no message)";
    m.platform.setMessageBoxHook([&](const platform::MessageBoxRecord& box) {
      shown = !inShowHandler && iform.visible() && box.owner == iform.handle() && box.owner != 0;
      refusal = iform.sessionEndRefusal();
      return platform::kIdOk;
    });
    EXPECT_EQ(iform.showModal(), -1);
    EXPECT_TRUE(shown);
    EXPECT_EQ(refusal, c.refusal);
    EXPECT_EQ(iform.sessionEndRefusal(), "");
  }
}

}  // namespace
