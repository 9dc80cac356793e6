// Message boxes, the screen size and the system timer resolution.
#include <windows.h>
#include <mmsystem.h>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_platform.h"

namespace platform {

using win32::toWide;

int Win32Platform::messageBox(uintptr_t owner, const std::string& text, const std::string& caption, uint32_t type) {
  int answer = MessageBoxW(reinterpret_cast<HWND>(owner), toWide(text).c_str(), toWide(caption).c_str(), type);
  // A box that could not be shown counts as cancelled.
  return answer == IDOK ? kIdOk : kIdCancel;
}

ScreenSize Win32Platform::screenSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

LocalDate Win32Platform::localDate() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay};
}

void Win32Platform::beginHighTimerResolution() { timeBeginPeriod(1); }

void Win32Platform::endHighTimerResolution() { timeEndPeriod(1); }

}  // namespace platform
