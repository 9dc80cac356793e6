// Enter from the player's keyboard (input through the window system, not
// posted messages) in the progress dialog.
#include <gtest/gtest.h>

#include <windows.h>

#include "forms/layouts.h"
#include "platform/memory/memory_platform.h"
#include "tests/toolkit-win32/win32_support.h"

using namespace toolkit;

namespace {

void sendKey(WORD key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof input);
}

// Fault: the progress dialog's first focus on "中止", or an Enter held down
// on it (repeated by the keyboard), or typed while another window was
// active and read once the dialog is active again, pressing it and
// cancelling the copy; or a fresh Enter on it doing nothing.
TEST(KeyboardTest, HeldOrTypedAheadEnterPressesNothingInTheProgressDialogAndAFreshOneDoes) {
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
  bool firstFocusOnCancel = true;
  int clicksBeforeFreshPress = -1;
  int ticks = 0, allTicks = 0;
  progress.onShow = [&] { timer.setEnabled(true); };
  // Between the ticks the loop serves what the keyboard sent.
  timer.onTimer = [&] {
    if (++allTicks == 1) firstFocusOnCancel = GetFocus() == cancel;
    switch (++ticks) {
      case 1: sendKey(VK_RETURN, true); break;  // and held, the focus elsewhere
      case 5: SetFocus(cancel); break;           // as the first focus was
      case 10:
        // Wine brings its key states in line with the X server's when an X
        // focus event arrives, and X never saw the sent key: a late event
        // lets go of it. Hold it again, the focus elsewhere.
        if (!(GetAsyncKeyState(VK_RETURN) & 0x8000)) {
          SetFocus(windowOf(progress));
          ticks = 0;
          break;
        }
        sendKey(VK_RETURN, true);  // the keyboard repeats the held key
        break;
      case 15: {
        sendKey(VK_RETURN, false);
        // Typed while another window is active: the key waits in the queue
        // until the dialog is active again.
        HWND other = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                     nullptr, nullptr);
        SetForegroundWindow(other);
        sendKey(VK_RETURN, true);
        sendKey(VK_RETURN, false);
        Sleep(30);
        SetForegroundWindow(windowOf(progress));
        DestroyWindow(other);
        break;
      }
      case 20:
        clicksBeforeFreshPress = clicks;
        SetFocus(cancel);
        sendKey(VK_RETURN, true);
        sendKey(VK_RETURN, false);
        break;
    }
    if (allTicks == 500) progress.setModalResult(-1);  // fail rather than hang
  };
  EXPECT_EQ(progress.showModal(), 1);
  timer.setEnabled(false);
  EXPECT_FALSE(firstFocusOnCancel);
  EXPECT_EQ(clicksBeforeFreshPress, 0);
  EXPECT_EQ(clicks, 1);
}

}  // namespace
