// The progress dialog's 1 ms timer, which the toolkit's loops tick from a
// waitable timer rather than through SetTimer: how it is ordered against
// messages and message boxes, in the main loop and in a modal showing.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>

#include "forms/layouts.h"
#include "platform/memory/memory_platform.h"
#include "tests/toolkit-win32/win32_support.h"

using namespace toolkit;

namespace {

constexpr wchar_t kBoxCaption[] = L"short timer test";

// The parameter: whether the dialog runs modally (else as the main form).
struct ShortTimerTest : ::testing::TestWithParam<bool> {
  platform::MemoryPlatform platform;
  Application app{platform};
  Form* dialog = nullptr;
  Timer* timer = nullptr;
  int ticks = 0;

  void SetUp() override {
    if (GetParam()) app.createForm<Form>(mformLayout);
    dialog = &app.createForm<Form>(iformLayout);
    timer = &dialog->control<Timer>("writetimer");
    ASSERT_LT(timer->interval(), static_cast<unsigned>(USER_TIMER_MINIMUM));
    dialog->onShow = [this] { timer->setEnabled(true); };
  }
  // Runs the dialog's loop; `onTick` is called for each tick with its count.
  template <class OnTick>
  void run(OnTick onTick) {
    timer->onTimer = [this, onTick] { onTick(++ticks); };
    if (GetParam()) {
      dialog->showModal();
    } else {
      app.run();
    }
  }
  void finish() {
    timer->setEnabled(false);
    if (GetParam()) {
      dialog->setModalResult(1);
      dialog->hide();
    } else {
      app.terminate();
    }
  }
};

// A smoke check that the interval is not SetTimer's 10 ms (twice its rate at
// the least), never a measure: the rate itself is `make bench`'s.
TEST_P(ShortTimerTest, TicksFasterThanTheWindowSystemsShortestInterval) {
  constexpr int kTicks = 300;
  std::chrono::steady_clock::time_point first;
  double seconds = 0;
  run([&](int count) {
    if (count == 1) first = std::chrono::steady_clock::now();
    if (count < kTicks) return;
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - first).count();
    finish();
  });
  EXPECT_EQ(ticks, kTicks);
  EXPECT_GT((kTicks - 1) / seconds, 2 * 1000.0 / USER_TIMER_MINIMUM);
}

// The first tick queues a click and a repaint and overruns the period: the
// next tick, due at once, still comes after both.
TEST_P(ShortTimerTest, WaitingMessagesAndPaintingGoBeforeAnOverdueTick) {
  HWND label = childOf(*dialog, "nowcopy");
  int clicks = 0;
  int clicksBeforeSecondTick = -1;
  bool paintedBeforeSecondTick = false;
  dialog->control<Button>("Button1").onClick = [&] { ++clicks; };
  run([&](int count) {
    if (count == 1) {
      PostMessageW(childOf(*dialog, "Button1"), BM_CLICK, 0, 0);
      InvalidateRect(label, nullptr, TRUE);
      Sleep(5);
      return;
    }
    clicksBeforeSecondTick = clicks;
    paintedBeforeSecondTick = !GetUpdateRect(label, nullptr, FALSE);
    finish();
  });
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(clicksBeforeSecondTick, 1);
  EXPECT_TRUE(paintedBeforeSecondTick);
}

// Closes the test's message box from inside the box's own loop, once the
// box is there.
void CALLBACK closeBox(HWND, UINT, UINT_PTR id, DWORD) {
  HWND box = FindWindowW(L"#32770", kBoxCaption);
  if (!box) return;
  KillTimer(nullptr, id);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}

// The first tick shows a message box for about 50 periods with its timer
// still enabled: the box's loop runs none of them, and ticking goes on once
// the box is closed.
TEST_P(ShortTimerTest, NoTickRunsWhileAMessageBoxIsOpen) {
  bool boxOpen = false;
  int ticksInBox = 0;
  int answer = 0;
  run([&](int count) {
    if (boxOpen) ++ticksInBox;
    if (count == 1) {
      SetTimer(nullptr, 0, 50, closeBox);
      boxOpen = true;
      answer = MessageBoxW(windowOf(*dialog), L"", kBoxCaption, MB_OK);
      boxOpen = false;
    }
    if (count == 3) finish();
  });
  EXPECT_EQ(answer, IDOK);  // closed by closeBox
  EXPECT_EQ(ticksInBox, 0);
  EXPECT_EQ(ticks, 3);
}

// Presses or releases the left mouse button where the pointer is, as the
// player's hand does (input through the window system, not a message).
void pressLeftButton(bool down) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &input, sizeof input);
}

// Fails rather than hangs when no tick comes to release the button.
void CALLBACK releaseLeftButton(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  pressLeftButton(false);
}

// The form is held by its title bar: the window system's move loop runs
// until the button is released, and the timer ticks inside it, one tick at
// a time.
TEST_P(ShortTimerTest, TicksGoOnWhileTheFormIsHeldByItsTitleBar) {
  constexpr int kTicksHeld = 20;
  int ticksHeld = 0;
  bool heldBefore = false;
  bool nested = false;
  bool ticking = false;
  run([&](int count) {
    if (ticking) nested = true;
    ticking = true;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const bool held = GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & GUI_INMOVESIZE);
    if (count == 1) {
      RECT frame{};
      GetWindowRect(windowOf(*dialog), &frame);
      SetCursorPos((frame.left + frame.right) / 2, frame.top + GetSystemMetrics(SM_CYCAPTION) / 2);
      pressLeftButton(true);
      SetTimer(nullptr, 0, 3000, releaseLeftButton);
    } else if (held) {
      heldBefore = true;
      if (++ticksHeld == kTicksHeld) pressLeftButton(false);
    } else if (heldBefore || count > 5000) {
      finish();
    }
    ticking = false;
  });
  EXPECT_EQ(ticksHeld, kTicksHeld);
  EXPECT_FALSE(nested);
}

INSTANTIATE_TEST_SUITE_P(Loops, ShortTimerTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Modal" : "Main"; });

}  // namespace
