// The progress dialog on real windows when the application ends in the
// middle of a copy on the in-memory Windows: the end of the session, as
// Windows announces it to every top-level window (WM_QUERYENDSESSION, then
// WM_ENDSESSION), or a quit message.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>

#include "forms/layouts.h"
#include "install/dirform.h"
#include "install/iform.h"
#include "install/instform.h"
#include "tests/support/install_fixture.h"
#include "tests/toolkit-win32/win32_support.h"

using namespace toolkit;

namespace {

enum class Ending { Session, Quit };

// What each top-level window of the thread answered WM_QUERYENDSESSION.
std::map<HWND, LRESULT> answers;

BOOL CALLBACK askWindow(HWND window, LPARAM) {
  answers[window] = SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  return TRUE;
}

struct SessionEndTest : ::testing::TestWithParam<Ending>, Machine {
  // As the system does, from outside any tick.
  static void CALLBACK endNow(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (GetParam() == Ending::Quit) return PostQuitMessage(0);
    EnumThreadWindows(GetCurrentThreadId(), askWindow, 0);
    for (const auto& [window, answer] : answers) SendMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  }
};

// Fault: the session allowed to end in the middle of a copy, or ending (or
// a quit message ending the dialog) with the copied files, the created
// folders or an open file left behind, or the timer resolution still raised.
TEST_P(SessionEndTest, ACopyCutShortIsRolledBackBeforeTheProcessEnds) {
  Application app{platform};
  app.createForm<Form>(mformLayout);
  app.createForm<Tinstform>(ctx);
  app.createForm<Tdirform>(ctx);
  Tiform& iform = app.createForm<Tiform>(ctx);
  put("origin.exe", "MZ");
  put("movie.bin", pattern(64 * ChunkSize));
  ctx.plan.ExtraCopyList->add("movie.bin");
  const auto before = platform.snapshot();
  answers.clear();
  int ticks = 0;
  auto copy = iform.writetimer->onTimer;
  iform.writetimer->onTimer = [&] {
    copy();
    if (++ticks == 5) SetTimer(nullptr, 0, 1, endNow);
  };

  EXPECT_EQ(iform.showModal(), 0);
  MSG quit;
  EXPECT_EQ(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0, GetParam() == Ending::Quit);
  EXPECT_LT(ctx.copy.TotalBytesDone, ctx.copy.TotalBytes);
  if (GetParam() == Ending::Session) {
    // Only the progress dialog says "not now"; the system's own windows say yes.
    for (const auto& [window, answer] : answers) EXPECT_EQ(answer, window != windowOf(iform)) << window;
    EXPECT_EQ(answers.count(windowOf(iform)), 1u);
  }
  EXPECT_EQ(describeDifference(before, platform.snapshot()), "");
  EXPECT_EQ(platform.openStreamCount(), 0);
  EXPECT_EQ(platform.highTimerResolutionBalance(), 0);
  EXPECT_TRUE(platform.messageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Endings, SessionEndTest, ::testing::Values(Ending::Session, Ending::Quit),
                         [](const auto& info) { return info.param == Ending::Session ? "SessionEnds" : "Quit"; });

}  // namespace
