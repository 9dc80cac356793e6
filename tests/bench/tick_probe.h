#pragma once
// How often a timer that asks for 1 ms ticks, with the system timer
// resolution raised as the progress dialog raises it: the ceiling of a copy
// that moves one chunk (or finishes one file) per tick. Two mechanisms: the
// window system's SetTimer, and the toolkit's own loop (a waitable timer).

#include <chrono>

struct TickRate {
  int ticks = 0;
  double seconds = 0;
  double perSecond = 0;
  // Intervals between consecutive ticks, in milliseconds.
  double shortestMs = 0;
  double medianMs = 0;
  double longestMs = 0;
};

// Runs a 1 ms SetTimer on a window of its own for `length` and counts the
// WM_TIMER messages; nothing else is done per tick.
TickRate measureSetTimerTicks(std::chrono::milliseconds length);

// Shows the progress dialog's form modally with the toolkit (Win32 backend)
// and counts the ticks of its 1 ms timer for `length`; nothing else is done
// per tick.
TickRate measureToolkitTicks(std::chrono::milliseconds length);
