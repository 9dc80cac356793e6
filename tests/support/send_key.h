#pragma once
// A key pressed or released as the keyboard sends it, for the Windows tests
// that drive a loop with real input.

#include <windows.h>

// `time` 0 stamps it now; an earlier tick count makes it typed ahead.
inline void sendKey(WORD key, bool down, DWORD time = 0) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  input.ki.time = time;
  SendInput(1, &input, sizeof input);
}
