#include "capture/track_geometry.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(TrackGeometry, InputMessagesAreTheMouseAndKeyboardRangesInclusive) {
    const struct {
        uint32_t message;
        bool input;
    } cases[] = {
        {0x009F, false}, {0x00A0, true},  {0x00A9, true},  {0x00AA, false},  // non-client mouse
        {0x00FF, false}, {0x0100, true},  {0x0109, true},  {0x010A, false},  // keyboard
        {0x01FF, false}, {0x0200, true},  {0x020E, true},  {0x020F, false},  // client mouse
        {0x0113, false}, {0x000F, false}, {0x0464, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsInputMessage(c.message), c.input) << std::hex << c.message;
    }
}

TEST(TrackGeometry, EachMessageHasItsDragAction) {
    const struct {
        uint32_t message;
        uintptr_t wParam;
        TrackAction action;
    } cases[] = {
        {0x0100, 0x1B, TrackAction::Cancel},       // Escape
        {0x0100, 0x41, TrackAction::KeyMove},      // any other key down
        {0x0101, 0x1B, TrackAction::KeyMove},      // key up, even of Escape
        {0x0104, 0x12, TrackAction::KeyMove},      // system key down
        {0x0105, 0x12, TrackAction::KeyMove},      // system key up
        {0x0102, 0x41, TrackAction::Swallow},      // WM_CHAR
        {0x0200, 0, TrackAction::MouseMove},       // WM_MOUSEMOVE
        {0x0202, 0, TrackAction::Finish},          // left release
        {0x0205, 0, TrackAction::Finish},          // right release
        {0x0204, 0, TrackAction::Cancel},          // right press
        {0x0201, 0, TrackAction::Swallow},         // left press
        {0x0203, 0, TrackAction::Swallow},         // left double-click
        {0x0207, 0, TrackAction::Swallow},         // middle press
        {0x020A, 0, TrackAction::Swallow},         // wheel
        {0x00A0, 0, TrackAction::Swallow},         // non-client move
        {0x0113, 98765, TrackAction::ScrollTick},  // auto-scroll timer
        {0x0113, 98766, TrackAction::HoverTick},   // hover timer
        {0x0113, 1, TrackAction::Dispatch},        // someone else's timer
        {0x000F, 0, TrackAction::Dispatch},        // WM_PAINT
        {0x0010, 0, TrackAction::Dispatch},        // WM_CLOSE
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyTrackMessage(c.message, c.wParam), c.action)
            << std::hex << c.message << " " << c.wParam;
    }
}

TEST(TrackGeometry, GridSnapsToNearestMultipleHalfwayAwayFromZero) {
    const struct {
        int32_t value, step, snapped;
    } cases[] = {
        {15, 10, 20},
        {-15, 10, -20},
        {-14, 10, -10},
        {14, 10, 10},
        {26, 10, 30},
        {0, 10, 0},
        {7, 0, 7},
        {-7, 0, -7},
        {15, -10, 20},  // a negative step snaps like its magnitude
        {4, 3, 3},
        {5, 3, 6},
        {-5, 3, -6},
        {INT32_MAX, 10, 2147483640},  // 2147483650 does not fit
        {INT32_MIN, 10, -2147483640},
        {INT32_MIN, INT32_MIN, INT32_MIN},
        {INT32_MAX, INT32_MIN, 0},
        {1000, 1, 1000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SnapToGrid(c.value, c.step), c.snapped) << c.value << " step " << c.step;
    }
    Point p{14, 26};
    SnapPointToGrid(p, Size{10, 10});
    EXPECT_EQ(p, (Point{10, 30}));
    Point q{14, 26};
    SnapPointToGrid(q, Size{0, 4});
    EXPECT_EQ(q, (Point{14, 28}));
}

TEST(TrackGeometry, BoundsIncludeTheirRightAndBottom) {
    const Rect bounds{0, 0, 99, 99};
    const struct {
        Point in, out;
    } cases[] = {
        {{150, -20}, {99, 0}}, {{-5, 200}, {0, 99}},   {{99, 99}, {99, 99}},
        {{50, 60}, {50, 60}},  {{100, 100}, {99, 99}},
    };
    for (const auto& c : cases) {
        Point p = c.in;
        ClampPointToBounds(p, bounds);
        EXPECT_EQ(p, c.out) << c.in.x << "," << c.in.y;
    }
    // Inverted bounds: the right and bottom limits are applied last and win.
    Point p{5, 5};
    ClampPointToBounds(p, Rect{10, 10, 0, 0});
    EXPECT_EQ(p, (Point{0, 0}));
}

TEST(TrackGeometry, ScrollOffsetSaturatesInsteadOfOverflowing) {
    EXPECT_EQ(AddScrollOffset(Point{10, -10}, Point{100, 200}), (Point{110, 190}));
    EXPECT_EQ(AddScrollOffset(Point{10, -10}, Point{INT32_MAX, INT32_MIN}),
              (Point{INT32_MAX, INT32_MIN}));
}

TEST(TrackGeometry, PointerPositionIsCutToSixteenBitsLikeAMouseMessage) {
    EXPECT_EQ(ToMouseMessagePoint(-20, 300), (Point{-20, 300}));
    EXPECT_EQ(ToMouseMessagePoint(40000, 0x12345), (Point{40000 - 65536, 0x2345}));
    EXPECT_EQ(ToMouseMessagePoint(-32769, 32768), (Point{32767, -32768}));
}

TEST(TrackGeometry, AutoScrollAsksForTheSidesThePointerIsBeyond) {
    const Rect client{0, 0, 100, 50};
    const struct {
        Point point;
        bool outside, left, right, up, down;
    } cases[] = {
        {{50, 25}, false, false, false, false, false},
        {{0, 0}, false, false, false, false, false},
        {{-1, 25}, true, true, false, false, false},
        {{101, 25}, true, false, true, false, false},
        {{50, -3}, true, false, false, true, false},
        {{50, 51}, true, false, false, false, true},
        {{-5, 60}, true, true, false, false, true},
        {{100, 25}, true, false, false, false, false},
        {{50, 50}, true, false, false, false, false},
        {{100, 50}, true, false, false, false, false},
    };
    for (const auto& c : cases) {
        const AutoScrollSteps steps = GetAutoScrollSteps(c.point, client);
        EXPECT_EQ(steps.outside, c.outside) << c.point.x << "," << c.point.y;
        EXPECT_EQ(steps.lineLeft, c.left) << c.point.x << "," << c.point.y;
        EXPECT_EQ(steps.lineRight, c.right) << c.point.x << "," << c.point.y;
        EXPECT_EQ(steps.lineUp, c.up) << c.point.x << "," << c.point.y;
        EXPECT_EQ(steps.lineDown, c.down) << c.point.x << "," << c.point.y;
    }
}

TEST(TrackGeometry, ElapsedTicksSurviveTheCounterWrapping) {
    EXPECT_EQ(TicksSince(1050, 1000), 50u);
    EXPECT_EQ(TicksSince(20, 0xFFFFFFF0u), 36u);
    EXPECT_EQ(TicksSince(0xFFFFFFF5u, 0xFFFFFFF0u), 5u);  // "since + 50 wrapped" is not elapsed
}

TEST(TrackGeometry, InclusiveRectCoversBothCornerPixels) {
    const struct {
        Rect corners, result;
    } cases[] = {
        {{10, 20, 50, 20}, {10, 20, 51, 21}},  // horizontal drag: 41 x 1
        {{50, 60, 10, 20}, {10, 20, 51, 61}},  // up and to the left
        {{5, 5, 6, 5}, {5, 5, 7, 6}},          // one pixel to the right: 2 x 1
        {{-30, -40, -10, -20}, {-30, -40, -9, -19}},
        {{0, 0, INT32_MAX, INT32_MAX}, {0, 0, INT32_MAX, INT32_MAX}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(InclusiveRect(c.corners), c.result) << c.corners.left << "," << c.corners.top;
    }
}
