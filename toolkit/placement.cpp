#include "toolkit/placement.h"

#include <algorithm>
#include <cstdint>

namespace toolkit {
namespace {

int64_t sharedArea(const platform::ScreenRect& a, const platform::ScreenRect& b) {
  const int64_t width = std::min(a.right, b.right) - std::max(a.left, b.left);
  const int64_t height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return width > 0 && height > 0 ? width * height : 0;
}

// The square of the gap between two rectangles that do not meet.
int64_t squaredGap(const platform::ScreenRect& a, const platform::ScreenRect& b) {
  const int64_t dx = std::max({0, a.left - b.right, b.left - a.right});
  const int64_t dy = std::max({0, a.top - b.bottom, b.top - a.bottom});
  return dx * dx + dy * dy;
}

}  // namespace

const platform::Monitor& monitorHolding(const std::vector<platform::Monitor>& monitors,
                                        const platform::ScreenRect& rect) {
  const platform::Monitor* best = &monitors.front();
  for (const platform::Monitor& monitor : monitors) {
    if (sharedArea(monitor.area, rect) > sharedArea(best->area, rect)) best = &monitor;
  }
  if (sharedArea(best->area, rect) > 0) return *best;
  for (const platform::Monitor& monitor : monitors) {
    if (squaredGap(monitor.area, rect) < squaredGap(best->area, rect)) best = &monitor;
  }
  return *best;
}

platform::ScreenRect centredIn(const platform::ScreenRect& workArea, int width, int height) {
  int left = workArea.left + (workArea.width() - width) / 2;
  int top = workArea.top + (workArea.height() - height) / 2;
  left = std::max(std::min(left, workArea.right - width), workArea.left);
  top = std::max(std::min(top, workArea.bottom - height), workArea.top);
  return {left, top, left + width, top + height};
}

}  // namespace toolkit
