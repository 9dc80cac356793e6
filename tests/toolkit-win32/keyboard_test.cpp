// Enter and Escape from the player's keyboard (input through the window
// system, not posted messages) in the progress dialog.
#include <gtest/gtest.h>

#include <windows.h>

#include "forms/layouts.h"
#include "platform/memory/memory_platform.h"
#include "tests/support/send_key.h"
#include "tests/toolkit-win32/win32_support.h"

using namespace toolkit;

namespace {

// Fault: the progress dialog's first focus not on "中止"; an Enter or
// Escape typed before the dialog was active (while the work that showed it
// ran, or while another window was active) or held down on it (repeated by
// the keyboard) pressing "中止" and cancelling the copy; or a fresh Enter
// on it, or a fresh Escape anywhere in the dialog, doing nothing.
TEST(KeyboardTest, HeldOrTypedAheadEnterOrEscapePressesNothingInTheProgressDialogAndAFreshOneCancels) {
  for (WORD key : {VK_RETURN, VK_ESCAPE}) {
    SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Escape");
    platform::MemoryPlatform platform;
    Application app{platform};
    app.createForm<Form>(mformLayout).show();
    Form& progress = app.createForm<Form>(iformLayout);
    auto& timer = progress.control<Timer>("writetimer");
    HWND cancel = childOf(progress, "Button1");
    int clicks = 0;
    progress.control<Button>("Button1").onClick = [&] {
      ++clicks;
      progress.setModalResult(1);
    };
    bool firstFocusOnCancel = false;
    int clicksBeforeFreshPress = -1;
    int ticks = 0, allTicks = 0;
    const DWORD beforeShowing = GetTickCount();
    progress.onShow = [&] { timer.setEnabled(true); };
    // Between the ticks the loop serves what the keyboard sent.
    timer.onTimer = [&] {
      if (++allTicks == 1) firstFocusOnCancel = GetFocus() == cancel;
      switch (++ticks) {
        case 1: sendKey(key, true, beforeShowing); break;  // typed ahead, and held
        case 5:
          // Wine brings its key states in line with the X server's when an
          // X focus event arrives, and X never saw the sent key: a late
          // event lets go of it. Hold it again.
          if (!(GetAsyncKeyState(key) & 0x8000)) {
            ticks = 0;
            break;
          }
          sendKey(key, true);  // the keyboard repeats the held key
          break;
        case 10: {
          sendKey(key, false);
          // Typed while another window is active: the key waits in the
          // queue until the dialog is active again.
          HWND other = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                       nullptr, nullptr);
          SetForegroundWindow(other);
          sendKey(key, true);
          sendKey(key, false);
          Sleep(30);
          SetForegroundWindow(windowOf(progress));
          DestroyWindow(other);
          break;
        }
        case 15:
          clicksBeforeFreshPress = clicks;
          SetFocus(key == VK_RETURN ? cancel : windowOf(progress));  // Escape wherever the focus is
          sendKey(key, true);
          sendKey(key, false);
          break;
      }
      if (allTicks == 500) progress.setModalResult(-1);  // fail rather than hang
    };
    EXPECT_EQ(progress.showModal(), 1);
    timer.setEnabled(false);
    EXPECT_TRUE(firstFocusOnCancel);
    EXPECT_EQ(clicksBeforeFreshPress, 0);
    EXPECT_EQ(clicks, 1);
  }
}

}  // namespace
