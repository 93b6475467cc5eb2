#include "imaging/work_area.h"

Rect DesktopWorkArea(const Rect& primaryWork, const Rect& virtualScreen,
                     const MonitorArea* primary) {
    if (virtualScreen.right == virtualScreen.left) {
        return primaryWork;
    }
    Rect area = virtualScreen;
    if (primary == nullptr) {
        return area;
    }
    // The taskbar is taken off only where the primary monitor forms the desktop's outer edge.
    if (area.bottom == primary->monitor.bottom)
        area.bottom = primary->work.bottom;
    if (area.left == primary->monitor.left)
        area.left = primary->work.left;
    if (area.top == primary->monitor.top)
        area.top = primary->work.top;
    if (area.right == primary->monitor.right)
        area.right = primary->work.right;
    return area;
}
