// Message boxes (which drop the keys the player did not mean for them), the
// screen and its monitors, high contrast, the system timer resolution and
// the request to stay awake.
#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/held_keys.h"
#include "platform/win32/timer_resolution.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform {

using win32::toWide;

namespace {

// When the open message box of this thread was asked for. A hook procedure
// has no context of its own, so the time waits here for the box's loop.
thread_local DWORD boxAskedAt = 0;

// The system's dialog loop of a message box asks this hook before it serves
// each message: a held or typed-ahead Enter or Space is dropped there, as the
// toolkit's loops drop it for the forms.
LRESULT CALLBACK dropUnmeantKeys(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_DIALOGBOX && win32::isHeldOrTypedAheadKey(*reinterpret_cast<const MSG*>(lParam), boxAskedAt)) {
    return TRUE;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int Win32Platform::messageBox(uintptr_t owner, const std::string& text, const std::string& caption, uint32_t type) {
  const DWORD outerBoxAskedAt = boxAskedAt;
  boxAskedAt = GetTickCount();
  win32::UniqueHook filter(SetWindowsHookExW(WH_MSGFILTER, dropUnmeantKeys, nullptr, GetCurrentThreadId()));
  int answer = MessageBoxW(reinterpret_cast<HWND>(owner), toWide(text).c_str(), toWide(caption).c_str(), type);
  filter.reset();
  boxAskedAt = outerBoxAskedAt;
  // A box that could not be shown counts as cancelled.
  return answer == IDOK ? kIdOk : kIdCancel;
}

ScreenSize Win32Platform::screenSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

namespace {

BOOL CALLBACK collectMonitor(HMONITOR monitor, HDC, RECT*, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) reinterpret_cast<std::vector<MONITORINFO>*>(list)->push_back(info);
  return TRUE;
}

}  // namespace

std::vector<Monitor> Win32Platform::monitors() {
  std::vector<MONITORINFO> infos;
  EnumDisplayMonitors(nullptr, nullptr, collectMonitor, reinterpret_cast<LPARAM>(&infos));
  auto screenRect = [](const RECT& rect) { return ScreenRect{rect.left, rect.top, rect.right, rect.bottom}; };
  std::vector<Monitor> monitors;
  for (const MONITORINFO& info : infos) {
    const Monitor monitor{screenRect(info.rcMonitor), screenRect(info.rcWork)};
    monitors.insert(info.dwFlags & MONITORINFOF_PRIMARY ? monitors.begin() : monitors.end(), monitor);
  }
  // A system that tells of no monitor has the one screen.
  if (monitors.empty()) {
    const ScreenSize screen = screenSize();
    monitors.push_back({{0, 0, screen.width, screen.height}, {0, 0, screen.width, screen.height}});
  }
  return monitors;
}

bool Win32Platform::highContrast() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

LocalDate Win32Platform::localDate() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay};
}

void Win32Platform::beginHighTimerResolution() { win32::raiseTimerResolution(); }

void Win32Platform::endHighTimerResolution() { win32::lowerTimerResolution(); }

void Win32Platform::keepSystemAwake(bool awake) {
  // ES_CONTINUOUS alone clears the request this thread made.
  SetThreadExecutionState(awake ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

}  // namespace platform
