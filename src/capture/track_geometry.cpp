#include "capture/track_geometry.h"

#include <cstdlib>

namespace {

constexpr uint32_t kKeyDown = 0x0100;
constexpr uint32_t kKeyUp = 0x0101;
constexpr uint32_t kSysKeyDown = 0x0104;
constexpr uint32_t kSysKeyUp = 0x0105;
constexpr uint32_t kTimer = 0x0113;
constexpr uint32_t kMouseMove = 0x0200;
constexpr uint32_t kLButtonUp = 0x0202;
constexpr uint32_t kRButtonDown = 0x0204;
constexpr uint32_t kRButtonUp = 0x0205;
constexpr uintptr_t kVkEscape = 0x1B;

}  // namespace

bool IsInputMessage(uint32_t message) {
    return (message >= 0x0200 && message <= 0x020E) || (message >= 0x00A0 && message <= 0x00A9) ||
           (message >= 0x0100 && message <= 0x0109);
}

TrackAction ClassifyTrackMessage(uint32_t message, uintptr_t wParam) {
    if (message == kTimer && wParam == kAutoScrollTimerId) {
        return TrackAction::ScrollTick;
    }
    if (message == kTimer && wParam == kHoverTimerId) {
        return TrackAction::HoverTick;
    }
    if (!IsInputMessage(message)) {
        return TrackAction::Dispatch;
    }
    switch (message) {
        case kKeyDown:
            return wParam == kVkEscape ? TrackAction::Cancel : TrackAction::KeyMove;
        case kKeyUp:
        case kSysKeyDown:
        case kSysKeyUp:
            return TrackAction::KeyMove;
        case kMouseMove:
            return TrackAction::MouseMove;
        case kLButtonUp:
        case kRButtonUp:
            return TrackAction::Finish;
        case kRButtonDown:
            return TrackAction::Cancel;
        default:
            return TrackAction::Swallow;
    }
}

int32_t SnapToGrid(int32_t value, int32_t step) {
    if (step == 0) {
        return value;
    }
    const int64_t size = std::llabs(static_cast<int64_t>(step));
    const int64_t magnitude = std::llabs(static_cast<int64_t>(value));
    const int64_t rest = magnitude % size;
    int64_t snapped = magnitude - rest;
    if (2 * rest >= size) {
        snapped += size;
    }
    if (value < 0) {
        snapped = -snapped;
    }
    if (snapped > INT32_MAX) {
        snapped -= size;
    } else if (snapped < INT32_MIN) {
        snapped += size;
    }
    return static_cast<int32_t>(snapped);
}

void SnapPointToGrid(Point& point, const Size& grid) {
    point.x = SnapToGrid(point.x, grid.cx);
    point.y = SnapToGrid(point.y, grid.cy);
}

void ClampPointToBounds(Point& point, const Rect& bounds) {
    if (point.x < bounds.left) {
        point.x = bounds.left;
    }
    if (point.x > bounds.right) {
        point.x = bounds.right;
    }
    if (point.y < bounds.top) {
        point.y = bounds.top;
    }
    if (point.y > bounds.bottom) {
        point.y = bounds.bottom;
    }
}

Point AddScrollOffset(const Point& point, const Point& offset) {
    return Point{SaturateInt32(static_cast<int64_t>(point.x) + offset.x),
                 SaturateInt32(static_cast<int64_t>(point.y) + offset.y)};
}

Point ToMouseMessagePoint(int32_t x, int32_t y) {
    return Point{static_cast<int16_t>(static_cast<uint16_t>(x)),
                 static_cast<int16_t>(static_cast<uint16_t>(y))};
}

AutoScrollSteps GetAutoScrollSteps(const Point& point, const Rect& client) {
    AutoScrollSteps steps{};
    steps.outside = !(point.x >= client.left && point.x < client.right && point.y >= client.top &&
                      point.y < client.bottom);
    steps.lineLeft = point.x < client.left;
    steps.lineRight = point.x > client.right;
    steps.lineUp = point.y < client.top;
    steps.lineDown = point.y > client.bottom;
    return steps;
}

uint32_t TicksSince(uint32_t now, uint32_t since) {
    return now - since;
}

Rect InclusiveRect(const Rect& corners) {
    Rect result = corners;
    NormalizeRect(result);
    result.right = SaturateInt32(static_cast<int64_t>(result.right) + 1);
    result.bottom = SaturateInt32(static_cast<int64_t>(result.bottom) + 1);
    return result;
}
