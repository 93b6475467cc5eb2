#include "capture/cursor_size.h"

namespace {

constexpr uint32_t kLargestCursorBaseSize = 256;

}  // namespace

int32_t ClampCursorBaseSize(bool found, uint32_t value) {
    if (!found || value < static_cast<uint32_t>(kDefaultCursorBaseSize) ||
        value > kLargestCursorBaseSize) {
        return kDefaultCursorBaseSize;
    }
    return static_cast<int32_t>(value);
}

int32_t MulDivRound(int32_t a, int32_t b, int32_t c) {
    if (c == 0) {
        return -1;
    }
    int64_t product = static_cast<int64_t>(a) * b;
    int64_t divisor = c;
    if (divisor < 0) {
        divisor = -divisor;
        product = -product;
    }
    const int64_t half = divisor / 2;
    const int64_t quotient = product >= 0 ? (product + half) / divisor : (product - half) / divisor;
    if (quotient > INT32_MAX || quotient < -INT32_MAX) {
        return -1;
    }
    return static_cast<int32_t>(quotient);
}

CursorShape ScaleCursorShape(const Size& bitmap, const Point& hotSpot, bool shared,
                             int32_t baseSize, int32_t metricSize) {
    CursorShape shape{bitmap.cx, bitmap.cy, 0, 0};
    if (shared) {
        const int32_t width = MulDivRound(baseSize, metricSize, 32);
        const int32_t height = MulDivRound(width, bitmap.cy, bitmap.cx);
        if (width >= 1 && height >= 1) {
            shape.width = width;
            shape.height = height;
        }
    }
    shape.hotX = MulDivRound(hotSpot.x, shape.width, bitmap.cx);
    shape.hotY = MulDivRound(hotSpot.y, shape.height, bitmap.cy);
    return shape;
}
