#pragma once
// The one wait of the Win32 toolkit: for a message, or for the tick of a
// timer faster than the window system delivers. SetTimer clamps intervals
// below USER_TIMER_MINIMUM (10 ms) to 10 ms; such timers get a periodic
// high-resolution waitable timer instead, waited on together with input by
// the toolkit's own loops (modal and main). A message box's loop never waits
// on them, so none of these ticks runs while a box is open. The window
// system's move and size loop does not wait on them either: a form's
// window ticks them from a timer of its own meanwhile (FormWindow).

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/win32/handles.h"
#include "toolkit/toolkit.h"

namespace toolkit::win32 {

class MessageLoop;

// A periodic waitable timer that ticks `control` from the loop while it
// exists.
class ShortTimer {
 public:
  // Null when the system gives no waitable timer or the loop waits on as
  // many as it can: the caller then falls back to SetTimer.
  static std::unique_ptr<ShortTimer> start(MessageLoop& loop, Timer& control);
  ~ShortTimer();
  ShortTimer(const ShortTimer&) = delete;
  ShortTimer& operator=(const ShortTimer&) = delete;

 private:
  friend class MessageLoop;
  // Holds timeBeginPeriod(1) where the system has no high-resolution
  // waitable timer.
  struct Resolution {
    bool raised = false;
    ~Resolution();
  };
  ShortTimer(MessageLoop& loop, Timer& control) : loop_(loop), control_(control) {}

  MessageLoop& loop_;
  Timer& control_;
  Resolution resolution_;                   // outlives the timer below
  platform::win32::UniqueKernelHandle timer_;
  bool due_ = false;      // signalled, tick not run yet
  bool ticking_ = false;  // its tick is running (a nested loop leaves it)
};

class MessageLoop {
 public:
  // Whether a timer of that interval (ms) is ticked by the loop rather than
  // by SetTimer.
  static bool delivers(unsigned interval);

  enum class Turn { Message, Tick, Quit, Failed };
  // One turn: takes a waiting message into `message` (Message; Quit for
  // WM_QUIT, its code in wParam). Only when none waits does it run one due
  // tick (Tick), each to its end; an overdue tick runs at once, and periods
  // missed meanwhile collapse into that one tick. With nothing due it waits
  // for either, without a timeout: no timer, no CPU. Failed when the wait
  // fails.
  Turn next(MSG& message);
  // Called from the window system's own loops (moving or sizing a form),
  // which never wait for these timers: runs one due tick, unless a tick is
  // running already (it may have shown a message box).
  void tickInWindowSystemLoop();

 private:
  friend class ShortTimer;
  ShortTimer* takeDue();
  void tick(ShortTimer& timer);
  bool waitForMessageOrTick();

  std::vector<ShortTimer*> timers_;
};

// The loop of the application's Win32 backend.
MessageLoop& messageLoopOf(Application& application);

}  // namespace toolkit::win32
