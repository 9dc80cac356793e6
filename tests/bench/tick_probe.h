#pragma once
// How often the window system delivers a timer that asks for 1 ms, with the
// system timer resolution raised as the progress dialog raises it: the
// ceiling of a copy that moves one chunk (or finishes one file) per tick.

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

// Runs a 1 ms timer on a window of its own for `length` and counts the
// WM_TIMER messages; nothing else is done per tick.
TickRate measureTimerTicks(std::chrono::milliseconds length);
