#include "capture/cursor_size.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

// "CursorBaseSize" outside 32 to 256 counts as 32; the rounding is the platform's MulDiv:
// halves away from zero, -1 for a zero divisor or an overflow.
TEST(CursorSizeTest, BaseSizeIsClampedAndScalingRoundsAsTheSystem) {
    const std::tuple<bool, uint32_t, int32_t> sizes[] = {
        {false, 48, 32},  {true, 16, 32},  {true, 31, 32},          {true, 48, 48},
        {true, 256, 256}, {true, 300, 32}, {true, 0xFFFFFFFFu, 32},
    };
    for (const auto& [found, value, expected] : sizes) {
        EXPECT_EQ(ClampCursorBaseSize(found, value), expected) << found << ' ' << value;
    }
    const std::tuple<int32_t, int32_t, int32_t, int32_t> products[] = {
        {5, 1, 2, 3},  {-3, 1, 2, -2},        {3, 1, -2, -2},
        {7, 5, 0, -1}, {INT32_MAX, 2, 1, -1}, {INT32_MIN, 1, 1, -1},
    };
    for (const auto& [a, b, c, expected] : products) {
        EXPECT_EQ(MulDivRound(a, b, c), expected) << a << '*' << b << '/' << c;
    }
}

// A shared cursor at a preference of 48 on a monitor whose pointers are 48 wide is drawn 72
// wide, keeping its aspect ratio; a private one, or any after a failed metric query, keeps its
// own size.
TEST(CursorSizeTest, SharedCursorFollowsPreferenceAndMonitorPrivateKeepsItsOwnSize) {
    const std::tuple<Size, Point, bool, int32_t, CursorShape> cases[] = {
        {{32, 32}, {10, 4}, true, 48, {72, 72, 23, 9}},
        {{32, 48}, {16, 24}, true, 48, {72, 108, 36, 54}},
        {{20, 30}, {7, 9}, false, 48, {20, 30, 7, 9}},
        {{32, 32}, {5, 6}, true, 0, {32, 32, 5, 6}},
    };
    for (const auto& [bitmap, hot, shared, metric, e] : cases) {
        const CursorShape s = ScaleCursorShape(bitmap, hot, shared, 48, metric);
        EXPECT_EQ(std::tie(s.width, s.height, s.hotX, s.hotY),
                  std::tie(e.width, e.height, e.hotX, e.hotY))
            << bitmap.cx << 'x' << bitmap.cy << " shared " << shared;
    }
}

}  // namespace
