#include "capture/track_geometry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <utility>

// What the drag tests with real messages do not reach: the two timers, someone else's timer,
// other key traffic, and the ends of the three input ranges (non-client mouse, keyboard,
// client mouse), inside swallowed and outside dispatched.
TEST(TrackGeometry, EachMessageHasItsDragAction) {
    const std::tuple<uint32_t, uintptr_t, TrackAction> cases[] = {
        {0x0113, 98765, TrackAction::ScrollTick}, {0x0113, 98766, TrackAction::HoverTick},
        {0x0113, 1, TrackAction::Dispatch},       {0x0101, 0x1B, TrackAction::KeyMove},
        {0x0105, 0x12, TrackAction::KeyMove},     {0x0102, 0x41, TrackAction::Swallow},
        {0x00A0, 0, TrackAction::Swallow},        {0x00A9, 0, TrackAction::Swallow},
        {0x0109, 0, TrackAction::Swallow},        {0x020E, 0, TrackAction::Swallow},
        {0x009F, 0, TrackAction::Dispatch},       {0x00AA, 0, TrackAction::Dispatch},
        {0x010A, 0, TrackAction::Dispatch},       {0x020F, 0, TrackAction::Dispatch},
    };
    for (const auto& [message, wParam, action] : cases) {
        EXPECT_EQ(ClassifyTrackMessage(message, wParam), action) << std::hex << message;
    }
}

// Halfway away from zero, a negative step like its magnitude, nothing beyond 32 bits; the sum
// with the scroll offset and the inclusive rectangle saturate, a mouse message's coordinates
// are 16-bit, elapsed ticks survive the counter wrapping.
TEST(TrackGeometry, ArithmeticStaysInRange) {
    const std::tuple<int32_t, int32_t, int32_t> cases[] = {
        {15, 10, 20}, {-15, 10, -20}, {-14, 10, -10}, {7, 0, 7}, {15, -10, 20},
    };
    for (const auto& [value, step, snapped] : cases) {
        EXPECT_EQ(SnapToGrid(value, step), snapped) << value << " step " << step;
    }
    EXPECT_EQ(SnapToGrid(INT32_MAX, 10), 2147483640);
    EXPECT_EQ(SnapToGrid(INT32_MIN, 10), -2147483640);
    EXPECT_EQ(AddScrollOffset(Point{10, -10}, Point{INT32_MAX, INT32_MIN}),
              (Point{INT32_MAX, INT32_MIN}));
    EXPECT_EQ(InclusiveRect(Rect{0, 0, INT32_MAX, INT32_MAX}), (Rect{0, 0, INT32_MAX, INT32_MAX}));
    EXPECT_EQ(ToMouseMessagePoint(40000, -32769), (Point{40000 - 65536, 32767}));
    EXPECT_EQ(TicksSince(20, 0xFFFFFFF0u), 36u);
}

// Bits: outside, left, right, up, down. The right and bottom edges are outside but ask for no
// scrolling.
TEST(TrackGeometry, AutoScrollAsksForTheSidesThePointerIsBeyond) {
    const std::pair<Point, int> cases[] = {
        {{0, 0}, 0b00000},   {{-1, 25}, 0b11000}, {{101, 25}, 0b10100},
        {{50, -3}, 0b10010}, {{-5, 60}, 0b11001}, {{100, 50}, 0b10000},
    };
    for (const auto& [point, steps] : cases) {
        const AutoScrollSteps s = GetAutoScrollSteps(point, Rect{0, 0, 100, 50});
        EXPECT_EQ(s.outside << 4 | s.lineLeft << 3 | s.lineRight << 2 | s.lineUp << 1 | s.lineDown,
                  steps)
            << point.x << "," << point.y;
    }
}
