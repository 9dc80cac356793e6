#pragma once
// The system timer's resolution (WinMM's timeBeginPeriod and timeEndPeriod),
// taken from the system folder at run time: WinMM is not one of the DLLs
// Windows always loads from there.

#include <windows.h>

#include <mmsystem.h>

#include "platform/win32/system_functions.h"

namespace platform::win32 {

// Asks for a 1 ms resolution; true when granted, and then matched by one
// lowerTimerResolution.
inline bool raiseTimerResolution() {
  static const auto begin = systemFunction<decltype(&timeBeginPeriod)>(L"winmm.dll", "timeBeginPeriod");
  return begin && begin(1) == TIMERR_NOERROR;
}

inline void lowerTimerResolution() {
  static const auto end = systemFunction<decltype(&timeEndPeriod)>(L"winmm.dll", "timeEndPeriod");
  if (end) end(1);
}

}  // namespace platform::win32
