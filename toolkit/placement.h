#pragma once
// Where the toolkit puts a centred form: in the middle of the work area of
// the monitor that holds the form it is shown over (Form::placementAnchor),
// never under the taskbar or off the monitor. Both backends place by these
// rules; the Win32 backend asks the window system for the monitor.

#include <vector>

#include "platform/platform.h"

namespace toolkit {

// The monitor that shares the most area with `rect`, else the one nearest to
// it, as the window system picks a window's monitor (MonitorFromRect with
// MONITOR_DEFAULTTONEAREST). `monitors` is not empty.
const platform::Monitor& monitorHolding(const std::vector<platform::Monitor>& monitors,
                                        const platform::ScreenRect& rect);

// A window of that size in the middle of the work area, moved back inside
// where it would stick out; one larger than the work area keeps its
// top-left corner, and so its title bar, inside.
platform::ScreenRect centredIn(const platform::ScreenRect& workArea, int width, int height);

}  // namespace toolkit
