#include "toolkit/win32/dpi.h"

#include "toolkit/win32/handles.h"
#include "toolkit/win32/system_functions.h"

namespace toolkit::win32 {

int windowDpi(HWND window) {
  // Windows 10 1607 and later.
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = loadedFunction<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
  if (getDpiForWindow) {
    if (UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
  }
  // Windows 8.1 and later: the effective DPI of the window's monitor
  // (MDT_EFFECTIVE_DPI, 0).
  using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const auto getDpiForMonitor = systemFunction<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor");
  if (getDpiForMonitor) {
    UINT x = 0;
    UINT y = 0;
    if (SUCCEEDED(getDpiForMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), 0, &x, &y)) && y) {
      return static_cast<int>(y);
    }
  }
  WindowDc screen(nullptr);
  int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : kDesignDpi;
}

RECT frameFor(RECT client, DWORD style, int dpi) {
  using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = loadedFunction<AdjustForDpiFunction>(L"user32.dll", "AdjustWindowRectExForDpi");
  if (!adjustForDpi || !adjustForDpi(&client, style, FALSE, 0, static_cast<UINT>(dpi))) {
    AdjustWindowRectEx(&client, style, FALSE, 0);
  }
  return client;
}

}  // namespace toolkit::win32
