#pragma once
// The monitor's DPI for a window, and the frame size at a DPI. The calls
// for per-monitor DPI exist from Windows 8.1 (the monitor's) and 10 (the
// window's) on; they are looked up at run time so that the program still
// starts on Windows 7, where the system DPI serves.

#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_GETDPISCALEDSIZE
#define WM_GETDPISCALEDSIZE 0x02E4
#endif

namespace toolkit::win32 {

inline constexpr int kDesignDpi = 96;  // the DPI the layouts are drawn at

// The DPI of the monitor the window is on.
int windowDpi(HWND window);

// The outer rectangle of a window with that client rectangle, style and
// DPI, as AdjustWindowRectEx gives it.
RECT frameFor(RECT client, DWORD style, int dpi);

}  // namespace toolkit::win32
