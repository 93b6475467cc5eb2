#include "viewer/zoom_geometry.h"

#include "tessel/format.h"

namespace {

constexpr int32_t kWheelNotch = 120;
constexpr int32_t kLinesPerClient = 20;

}  // namespace

int32_t ClampZoomIndex(int32_t index) {
    if (index < 0) {
        return 0;
    }
    if (index >= kZoomStepCount) {
        return kZoomStepCount - 1;
    }
    return index;
}

Tessel::String ZoomTitle(int32_t index) {
    return Tessel::Format("Glimpser (%i%%)", static_cast<int>(ZoomSteps[ClampZoomIndex(index)]));
}

int32_t ZoomedExtent(int32_t extent, int32_t percent) {
    // 5000% of a half-million-pixel image is past 2^31 before the division.
    int64_t zoomed = static_cast<int64_t>(extent) * percent / 100;
    if (zoomed < 0) {
        return 0;
    }
    return zoomed > kMaxZoomedExtent ? kMaxZoomedExtent : static_cast<int32_t>(zoomed);
}

Size ZoomedSize(Size image, int32_t percent) {
    return Size{ZoomedExtent(image.cx, percent), ZoomedExtent(image.cy, percent)};
}

bool FitsWorkArea(Size outer, const Rect& workArea) {
    int64_t width = static_cast<int64_t>(workArea.right) - workArea.left;
    int64_t height = static_cast<int64_t>(workArea.bottom) - workArea.top;
    return outer.cx <= width * 9 / 10 && outer.cy <= height * 9 / 10;
}

FitDecision DecideFit(bool fits, int32_t percent, bool maximized, bool maximizedByFit) {
    if (!fits && percent > 100) {
        if (!maximized) {
            return FitDecision{true, false, false, true};
        }
        return FitDecision{false, false, false, maximizedByFit};
    }
    if (maximized) {
        if (!maximizedByFit) {
            // The user maximized it: the window is theirs to size.
            return FitDecision{false, false, false, false};
        }
        return FitDecision{false, true, true, false};
    }
    return FitDecision{false, false, true, maximizedByFit};
}

Rect PlaceWindow(Size outer, Point topLeft, const Rect& workArea) {
    int64_t left = topLeft.x;
    int64_t top = topLeft.y;
    int64_t right = left + outer.cx;
    int64_t bottom = top + outer.cy;
    if (right > workArea.right) {
        left -= right - workArea.right;
        right = workArea.right;
    }
    if (bottom > workArea.bottom) {
        top -= bottom - workArea.bottom;
        bottom = workArea.bottom;
    }
    return Rect{SaturateInt32(left), SaturateInt32(top), SaturateInt32(right),
                SaturateInt32(bottom)};
}

bool ScrollTarget(int32_t code, int32_t current, int32_t clientExtent, int32_t trackPosition,
                  int32_t& target) {
    int64_t line = clientExtent / kLinesPerClient;
    switch (code) {
        case kScrollLineUp:
            target = SaturateInt32(current - line);
            return true;
        case kScrollLineDown:
            target = SaturateInt32(current + line);
            return true;
        case kScrollPageUp:
            target = SaturateInt32(static_cast<int64_t>(current) - clientExtent);
            return true;
        case kScrollPageDown:
            target = SaturateInt32(static_cast<int64_t>(current) + clientExtent);
            return true;
        case kScrollThumbPosition:
        case kScrollThumbTrack:
            target = trackPosition;
            return true;
        case kScrollTop:
            target = 0;
            return true;
        case kScrollBottom:
            target = INT32_MAX;
            return true;
        default:
            return false;
    }
}

KeyScroll MapScrollKey(uint32_t virtualKey, bool controlHeld) {
    constexpr uint32_t kPrior = 0x21, kNext = 0x22, kLeft = 0x25, kUp = 0x26, kRight = 0x27,
                       kDown = 0x28;
    switch (virtualKey) {
        case kLeft:
            return KeyScroll{ScrollAxis::kHorizontal, kScrollLineUp};
        case kRight:
            return KeyScroll{ScrollAxis::kHorizontal, kScrollLineDown};
        case kUp:
            return KeyScroll{ScrollAxis::kVertical, kScrollLineUp};
        case kDown:
            return KeyScroll{ScrollAxis::kVertical, kScrollLineDown};
        case kPrior:
            return KeyScroll{controlHeld ? ScrollAxis::kHorizontal : ScrollAxis::kVertical,
                             kScrollPageUp};
        case kNext:
            return KeyScroll{controlHeld ? ScrollAxis::kHorizontal : ScrollAxis::kVertical,
                             kScrollPageDown};
        default:
            return KeyScroll{ScrollAxis::kNone, 0};
    }
}

int32_t WheelSteps(int16_t delta, int32_t& remainder) {
    if ((delta > 0) != (remainder > 0)) {
        remainder = 0;
    }
    int32_t total = delta + remainder;
    int32_t steps = total / kWheelNotch;
    remainder = total - steps * kWheelNotch;
    return steps;
}

bool DragMovesWindow(bool hasHorizontalBar, bool hasVerticalBar, bool maximized) {
    return !hasHorizontalBar && !hasVerticalBar && !maximized;
}

Point DragWindowPosition(Point startWindow, Point start, Point current) {
    return Point{SaturateInt32(static_cast<int64_t>(startWindow.x) + current.x - start.x),
                 SaturateInt32(static_cast<int64_t>(startWindow.y) + current.y - start.y)};
}

Point DragScrollPosition(Point startScroll, Point start, Point current, bool hasHorizontalBar,
                         bool hasVerticalBar) {
    Point position = startScroll;
    if (hasHorizontalBar) {
        position.x = SaturateInt32(static_cast<int64_t>(startScroll.x) - current.x + start.x);
    }
    if (hasVerticalBar) {
        position.y = SaturateInt32(static_cast<int64_t>(startScroll.y) - current.y + start.y);
    }
    return position;
}

int32_t PaintOrigin(int32_t clientExtent, int32_t zoomedExtent, int32_t scrollPosition) {
    if (zoomedExtent < clientExtent) {
        return SaturateInt32((static_cast<int64_t>(clientExtent) - zoomedExtent) / 2);
    }
    return SaturateInt32(-static_cast<int64_t>(scrollPosition));
}

bool UsesSmoothStretch(int32_t mode, int32_t percent) {
    if (percent == 100) {
        return false;
    }
    return mode == 1 || (mode == 2 && percent % 100 != 0);
}
