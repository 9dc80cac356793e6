// Enter and Space from the player's keyboard (input through the window
// system, not posted messages): a key held down or typed before a form
// became active presses nothing there; a fresh press on the focused button
// does.
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

void pressKey(WORD key) {
  sendKey(key, true);
  sendKey(key, false);
}

struct KeyboardTest : ::testing::Test {
  platform::MemoryPlatform platform;
  Application app{platform};
  Form& menu = app.createForm<Form>(mformLayout);
  int clicks = 0;

  KeyboardTest() { menu.show(); }
  // The button ends its dialog, counting the presses.
  void endOnClick(Form& dialog, const char* button) {
    dialog.control<Button>(button).onClick = [this, &dialog] {
      ++clicks;
      dialog.setModalResult(1);
      dialog.hide();
    };
  }
};

// Fault: the progress dialog's first focus on "中止", or an Enter held down
// on it (repeated by the keyboard), or typed while another window was
// active and read once the dialog is active again, pressing it and
// cancelling the copy.
TEST_F(KeyboardTest, HeldOrTypedAheadEnterPressesNothingInTheProgressDialogAndAFreshOneDoes) {
  Form& progress = app.createForm<Form>(iformLayout);
  auto& timer = progress.control<Timer>("writetimer");
  endOnClick(progress, "Button1");
  HWND cancel = childOf(progress, "Button1");
  bool firstFocusOnCancel = true;
  int clicksWhileHeld = -1;
  int clicksTypedAhead = -1;
  int ticks = 0;
  progress.onShow = [&] { timer.setEnabled(true); };
  // Between the ticks the loop serves what the keyboard sent.
  timer.onTimer = [&] {
    switch (++ticks) {
      case 1:
        firstFocusOnCancel = GetFocus() == cancel;
        sendKey(VK_RETURN, true);  // and held
        break;
      case 5: SetFocus(cancel); break;  // as the first focus was
      case 10: sendKey(VK_RETURN, true); break;  // the keyboard repeats the held key
      case 15:
        clicksWhileHeld = clicks;
        sendKey(VK_RETURN, false);
        break;
      case 20: {
        // Another window is active while the key is typed; the key waits
        // in the queue until the dialog is active again.
        HWND other = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                     nullptr, nullptr);
        SetForegroundWindow(other);
        pressKey(VK_RETURN);
        Sleep(30);
        SetForegroundWindow(windowOf(progress));
        DestroyWindow(other);
        break;
      }
      case 25:
        clicksTypedAhead = clicks;
        if (GetFocus() != cancel) SetFocus(cancel);
        break;
      case 30: pressKey(VK_RETURN); break;
      case 500: progress.setModalResult(-1); break;  // fail rather than hang
    }
  };
  EXPECT_EQ(progress.showModal(), 1);
  timer.setEnabled(false);
  EXPECT_FALSE(firstFocusOnCancel);
  EXPECT_EQ(clicksWhileHeld, 0);
  EXPECT_EQ(clicksTypedAhead, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_GE(ticks, 30);  // the dialog ran on until the fresh press
}

bool freshEnterPressed = false;

void CALLBACK pressEnter(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  freshEnterPressed = true;
  pressKey(VK_RETURN);
}

// Fault: an Enter typed while the menu opened the uninstall dialog (a second
// press on "アンインストール") pressing the dialog's first button.
TEST_F(KeyboardTest, EnterTypedBeforeTheDialogBecameActivePressesNothing) {
  Form& dialog = app.createForm<Form>(uninsformLayout);
  endOnClick(dialog, "Button1");
  bool clickedByTheFreshPress = false;
  auto& start = dialog.control<Button>("Button1");
  start.onClick = [&, end = start.onClick] {
    clickedByTheFreshPress = freshEnterPressed;
    end();
  };
  freshEnterPressed = false;
  dialog.onShow = [&] {
    pressKey(VK_RETURN);
    Sleep(30);
    SetTimer(nullptr, 0, 200, pressEnter);
  };
  EXPECT_EQ(dialog.showModal(), 1);
  EXPECT_TRUE(clickedByTheFreshPress);
  EXPECT_EQ(clicks, 1);
}

}  // namespace
