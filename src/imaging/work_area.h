#pragma once
// The part of the desktop the viewer may fill with its window.
#include "win/rect.h"

// The primary monitor's bounds and the part of them its taskbar leaves free.
struct MonitorArea {
    Rect monitor;
    Rect work;
};

// With no virtual screen (zero width), the primary work area. Otherwise the whole virtual
// screen, where each outer edge that is also the primary monitor's edge is pulled in to the
// primary's work area; without `primary` (no monitor information) the virtual screen as is.
Rect DesktopWorkArea(const Rect& primaryWork, const Rect& virtualScreen,
                     const MonitorArea* primary);
