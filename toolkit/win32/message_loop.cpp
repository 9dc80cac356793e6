// The toolkit's wait for a message or a short timer's tick (message_loop.h).
#include "toolkit/win32/message_loop.h"

#include <algorithm>

#include "platform/win32/timer_resolution.h"

// Windows 10 1803 and later; older systems refuse the flag.
#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace toolkit::win32 {
namespace {

// One handle of the wait is the message queue's.
constexpr size_t kMostTimers = MAXIMUM_WAIT_OBJECTS - 1;

}  // namespace

bool MessageLoop::delivers(unsigned interval) {
#ifdef TOOLKIT_TIMERS_BY_SETTIMER
  // The benchmark's install.exe of comparison: every timer as SetTimer
  // delivers it.
  (void)interval;
  return false;
#else
  return interval < USER_TIMER_MINIMUM;
#endif
}

ShortTimer::Resolution::~Resolution() {
  if (raised) platform::win32::lowerTimerResolution();
}

std::unique_ptr<ShortTimer> ShortTimer::start(MessageLoop& loop, Timer& control) {
  if (loop.timers_.size() >= kMostTimers) return nullptr;
  std::unique_ptr<ShortTimer> timer(new ShortTimer(loop, control));
  timer->timer_.reset(CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS));
  if (!timer->timer_) {
    timer->resolution_.raised = platform::win32::raiseTimerResolution();
    timer->timer_.reset(CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS));
  }
  const LONG period = static_cast<LONG>(std::max(control.interval(), 1u));
  LARGE_INTEGER first{};
  first.QuadPart = -10000LL * period;  // relative, in 100 ns units
  if (!timer->timer_ || !SetWaitableTimer(timer->timer_.get(), &first, period, nullptr, nullptr, FALSE)) return nullptr;
  loop.timers_.push_back(timer.get());
  return timer;
}

ShortTimer::~ShortTimer() { std::erase(loop_.timers_, this); }

MessageLoop::Turn MessageLoop::next(MSG& message) {
  for (;;) {
    // Every waiting message (input, posted, paint) goes before a tick.
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      return message.message == WM_QUIT ? Turn::Quit : Turn::Message;
    }
    if (ShortTimer* due = takeDue()) {
      tick(*due);
      return Turn::Tick;
    }
    if (!waitForMessageOrTick()) return Turn::Failed;
  }
}

void MessageLoop::tickInWindowSystemLoop() {
  if (std::ranges::any_of(timers_, [](const ShortTimer* timer) { return timer->ticking_; })) return;
  // Asking without waiting resets each signalled timer, as the wait does.
  for (ShortTimer* timer : timers_) {
    if (WaitForSingleObject(timer->timer_.get(), 0) == WAIT_OBJECT_0) timer->due_ = true;
  }
  if (ShortTimer* due = takeDue()) tick(*due);
}

ShortTimer* MessageLoop::takeDue() {
  for (ShortTimer* timer : timers_) {
    if (timer->due_ && !timer->ticking_) return timer;
  }
  return nullptr;
}

void MessageLoop::tick(ShortTimer& timer) {
  timer.due_ = false;
  timer.ticking_ = true;
  Timer& control = timer.control_;
  // As for a window's message: an exception is shown and the loop goes on.
  try {
    control.tick();
  } catch (const std::exception& error) {
    control.form().application().showException(error);
  }
  // The tick may have stopped its timer, and so destroyed it.
  if (std::ranges::find(timers_, &timer) != timers_.end()) timer.ticking_ = false;
}

bool MessageLoop::waitForMessageOrTick() {
  HANDLE handles[kMostTimers] = {};
  ShortTimer* owners[kMostTimers] = {};
  DWORD count = 0;
  for (ShortTimer* timer : timers_) {
    if (timer->ticking_) continue;
    owners[count] = timer;
    handles[count++] = timer->timer_.get();
  }
  const DWORD woken = MsgWaitForMultipleObjectsEx(count, handles, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  if (woken == WAIT_FAILED) return false;
  if (woken >= WAIT_OBJECT_0 + count) return true;  // a message
  // The wait reset the timer it reports; the others are asked without
  // waiting, so that every timer signalled gets its tick before the next
  // wait, whatever its place in the list.
  for (DWORD i = 0; i < count; ++i) {
    if (i == woken - WAIT_OBJECT_0 || WaitForSingleObject(handles[i], 0) == WAIT_OBJECT_0) owners[i]->due_ = true;
  }
  return true;
}

}  // namespace toolkit::win32
