// The progress dialog on real windows when the application ends in the
// middle of a copy: the end of the session, as Windows announces it to
// every top-level window (WM_QUERYENDSESSION, then WM_ENDSESSION), or a
// quit message. The installation is on the in-memory Windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>

#include "forms/layouts.h"
#include "install/dirform.h"
#include "install/iform.h"
#include "install/instform.h"
#include "tests/install/install_fixture.h"
#include "tests/toolkit-win32/win32_support.h"
#include "texts.h"

using namespace toolkit;

namespace {

enum class Ending { Session, Quit };

struct SessionEndTest : ::testing::TestWithParam<Ending>, Machine {
  Application app{platform};
  Tiform* iform = nullptr;
  // What each top-level window of the thread answered WM_QUERYENDSESSION.
  std::map<HWND, LRESULT> answers;

  static SessionEndTest* running;

  SessionEndTest() {
    app.createForm<Form>(mformLayout);
    ctx.instform = &app.createForm<Tinstform>(ctx);
    ctx.dirform = &app.createForm<Tdirform>(ctx);
    iform = ctx.iform = &app.createForm<Tiform>(ctx);
  }

  static BOOL CALLBACK askWindow(HWND window, LPARAM) {
    running->answers[window] = SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    return TRUE;
  }
  // As the system does, from outside any tick: asks every top-level window,
  // then tells each that the session ends; or posts a quit message.
  static void CALLBACK endNow(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    SessionEndTest& test = *running;
    if (GetParam() == Ending::Quit) return PostQuitMessage(0);
    EnumThreadWindows(GetCurrentThreadId(), askWindow, 0);
    for (const auto& [window, answer] : test.answers) SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  }
};

SessionEndTest* SessionEndTest::running = nullptr;

// Fault: the session allowed to end in the middle of a copy, or ending (or
// a quit message ending the dialog) with the copied files, the created
// folders or an open file left behind, or the timer resolution still raised.
TEST_P(SessionEndTest, ACopyCutShortIsRolledBackBeforeTheProcessEnds) {
  put("origin.exe", "MZ");
  put("movie.bin", pattern(64 * ChunkSize));
  ctx.ExtraCopyList->add("movie.bin");
  const auto before = platform.snapshot();
  running = this;
  int ticks = 0;
  auto copy = iform->writetimer->onTimer;
  iform->writetimer->onTimer = [&] {
    copy();
    if (++ticks == 5) SetTimer(nullptr, 0, 1, endNow);
  };

  EXPECT_EQ(iform->showModal(), 0);
  MSG quit;
  EXPECT_EQ(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0, GetParam() == Ending::Quit);

  EXPECT_GE(ticks, 5);
  EXPECT_LT(ctx.copy.TotalBytesDone, ctx.copy.TotalBytes);
  if (GetParam() == Ending::Session) {
    std::map<HWND, LRESULT> expected;
    for (const auto& form : app.forms()) expected[windowOf(*form)] = form.get() == iform ? FALSE : TRUE;
    for (const auto& [window, answer] : answers) {
      if (!expected.count(window)) expected[window] = TRUE;  // windows of the system's own
    }
    EXPECT_EQ(answers, expected);
  }
  EXPECT_EQ(describeDifference(before, platform.snapshot()), "");
  EXPECT_EQ(platform.openStreamCount(), 0);
  EXPECT_EQ(platform.highTimerResolutionBalance(), 0);
  EXPECT_TRUE(platform.messageBoxes().empty());
  EXPECT_EQ(iform->sessionEndRefusal(), "");
}

INSTANTIATE_TEST_SUITE_P(Endings, SessionEndTest, ::testing::Values(Ending::Session, Ending::Quit),
                         [](const auto& info) { return info.param == Ending::Session ? "SessionEnds" : "Quit"; });

}  // namespace
