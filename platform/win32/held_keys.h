#pragma once
// The keys a window takes for the player's answer only when they were meant
// for it: the forms' own loops and the system's message boxes apply the
// same rule.

#include <windows.h>

namespace platform::win32 {

// Whether a key message is an Enter, Space or Escape key-down that repeats a
// held key (the keyboard's repeat), or that was typed before `activeSince`
// (GetTickCount when the window became active, or was asked for), while the
// work that showed it ran: either would answer a question the player never
// saw.
inline bool isHeldOrTypedAheadKey(const MSG& message, DWORD activeSince) {
  if (message.message != WM_KEYDOWN) return false;
  if (message.wParam != VK_RETURN && message.wParam != VK_SPACE && message.wParam != VK_ESCAPE) return false;
  constexpr LPARAM kPreviouslyDown = 1 << 30;
  const bool repeated = (message.lParam & kPreviouslyDown) != 0;
  // Message times are tick counts, which wrap; their difference does not.
  const bool typedAhead = static_cast<LONG>(message.time - activeSince) < 0;
  return repeated || typedAhead;
}

}  // namespace platform::win32
