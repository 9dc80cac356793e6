#include "tests/bench/tick_probe.h"

#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "forms/layouts.h"
#include "platform/memory/memory_platform.h"
#include "toolkit/toolkit.h"

namespace {

using Clock = std::chrono::steady_clock;

class TimerResolution {
 public:
  TimerResolution() { timeBeginPeriod(1); }
  ~TimerResolution() { timeEndPeriod(1); }
  TimerResolution(const TimerResolution&) = delete;
  TimerResolution& operator=(const TimerResolution&) = delete;
};

class ProbeWindow {
 public:
  ProbeWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"DiscmenuTickProbe";
    RegisterClassW(&windowClass);
    // A message-only window: it gets timers like any other and never shows.
    window_ = CreateWindowW(windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            windowClass.hInstance, nullptr);
    if (!window_) throw std::runtime_error("tick probe: cannot create its window");
  }
  ~ProbeWindow() { DestroyWindow(window_); }
  ProbeWindow(const ProbeWindow&) = delete;
  ProbeWindow& operator=(const ProbeWindow&) = delete;
  HWND get() const { return window_; }

 private:
  HWND window_ = nullptr;
};

// From the first tick to the last: the rate the timer keeps once running.
TickRate rateOf(const std::vector<Clock::time_point>& ticks) {
  if (ticks.size() < 2) throw std::runtime_error("tick probe: the timer did not tick");
  std::vector<double> intervals;
  for (size_t i = 1; i < ticks.size(); ++i) {
    intervals.push_back(std::chrono::duration<double, std::milli>(ticks[i] - ticks[i - 1]).count());
  }
  std::sort(intervals.begin(), intervals.end());
  TickRate rate;
  rate.ticks = static_cast<int>(intervals.size());
  rate.seconds = std::chrono::duration<double>(ticks.back() - ticks.front()).count();
  rate.perSecond = rate.ticks / rate.seconds;
  rate.shortestMs = intervals.front();
  rate.medianMs = intervals[intervals.size() / 2];
  rate.longestMs = intervals.back();
  return rate;
}

}  // namespace

TickRate measureSetTimerTicks(std::chrono::milliseconds length) {
  TimerResolution resolution;
  ProbeWindow window;
  constexpr UINT_PTR kTimerId = 1;
  SetTimer(window.get(), kTimerId, 1, nullptr);

  std::vector<Clock::time_point> ticks;
  const auto start = Clock::now();
  MSG message{};
  while (Clock::now() - start < length && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER && message.hwnd == window.get()) {
      ticks.push_back(Clock::now());
      continue;
    }
    DispatchMessageW(&message);
  }
  KillTimer(window.get(), kTimerId);
  return rateOf(ticks);
}

TickRate measureToolkitTicks(std::chrono::milliseconds length) {
  TimerResolution resolution;
  platform::MemoryPlatform platform;
  toolkit::Application application(platform);
  auto& dialog = application.createForm<toolkit::Form>(iformLayout);
  auto& timer = dialog.control<toolkit::Timer>("writetimer");
  std::vector<Clock::time_point> ticks;
  ticks.reserve(static_cast<size_t>(length.count()) * 2);  // no allocation while ticking
  dialog.onShow = [&] { timer.setEnabled(true); };
  timer.onTimer = [&] {
    ticks.push_back(Clock::now());
    if (ticks.back() - ticks.front() < length) return;
    timer.setEnabled(false);
    dialog.setModalResult(1);
    dialog.hide();
  };
  dialog.showModal();
  return rateOf(ticks);
}
