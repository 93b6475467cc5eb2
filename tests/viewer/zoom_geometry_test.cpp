#include "viewer/zoom_geometry.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(ZoomGeometry, IndexIsClampedAndTitledWithItsPercent) {
    EXPECT_EQ(ClampZoomIndex(-5), 0);
    EXPECT_EQ(ClampZoomIndex(19), 18);
    EXPECT_EQ(ClampZoomIndex(7), 7);
    EXPECT_STREQ(ZoomTitle(5).CStr(), "Glimpser (250%)");
    EXPECT_STREQ(ZoomTitle(1).CStr(), "Glimpser (100%)");
}

TEST(ZoomGeometry, ZoomedExtentTruncatesAndNeverOverflows) {
    struct Case {
        int32_t extent, percent, expected;
    } cases[] = {
        {3, 50, 1},
        {1, 50, 0},
        {800, 100, 800},
        {800, 120, 960},
        {3840, 5000, 192000},
        // 5000 × 500,000 passes 2^31 before the division.
        {500000, 5000, 25000000},
        {2000000000, 5000, kMaxZoomedExtent},
        {0, 5000, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ZoomedExtent(c.extent, c.percent), c.expected) << c.extent << " at " << c.percent;
    }
    Size zoomed = ZoomedSize(Size{800, 600}, 300);
    EXPECT_EQ(zoomed.cx, 2400);
    EXPECT_EQ(zoomed.cy, 1800);
}

TEST(ZoomGeometry, FitUsesNinetyPercentOfTheWorkArea) {
    Rect area{0, 0, 1920, 1040};  // 90%: 1728 by 936
    EXPECT_TRUE(FitsWorkArea(Size{1728, 936}, area));
    EXPECT_FALSE(FitsWorkArea(Size{1729, 936}, area));
    EXPECT_FALSE(FitsWorkArea(Size{1728, 937}, area));
    EXPECT_TRUE(FitsWorkArea(Size{816, 639}, Rect{-1920, 0, 0, 1040}));
}

TEST(ZoomGeometry, FitDecisionTable) {
    struct Case {
        bool fits;
        int32_t percent;
        bool maximized, byFit;
        FitDecision expected;
    } cases[] = {
        // Too big above 100%: maximize, or leave a maximized window as it is.
        {false, 300, false, false, {true, false, false, true}},
        {false, 300, true, false, {false, false, false, false}},
        {false, 300, true, true, {false, false, false, true}},
        // Too big at 50% and 100% never maximizes: the window is only placed.
        {false, 100, false, false, {false, false, true, false}},
        {false, 50, false, false, {false, false, true, false}},
        // Fits: a window the user maximized stays; one the viewer maximized is restored.
        {true, 300, true, false, {false, false, false, false}},
        {true, 100, true, true, {false, true, true, false}},
        {true, 100, false, false, {false, false, true, false}},
        // A flag left over from a window restored by hand survives until the next restore.
        {true, 100, false, true, {false, false, true, true}},
    };
    for (const Case& c : cases) {
        FitDecision d = DecideFit(c.fits, c.percent, c.maximized, c.byFit);
        EXPECT_EQ(d.maximize, c.expected.maximize);
        EXPECT_EQ(d.restore, c.expected.restore);
        EXPECT_EQ(d.place, c.expected.place);
        EXPECT_EQ(d.maximizedByFit, c.expected.maximizedByFit);
    }
}

TEST(ZoomGeometry, PlacementKeepsTopLeftAndPullsRightAndBottomIn) {
    Rect area{0, 0, 1920, 1040};
    struct Case {
        Size outer;
        Point topLeft;
        Rect expected;
    } cases[] = {
        {{816, 639}, {0, 0}, {0, 0, 816, 639}},
        {{816, 639}, {1500, 100}, {1104, 100, 1920, 739}},
        {{816, 639}, {100, 900}, {100, 401, 916, 1040}},
        // Larger than the work area: the left and top edges go past it.
        {{2416, 1239}, {0, 0}, {-496, -199, 1920, 1040}},
    };
    for (const Case& c : cases) {
        Rect r = PlaceWindow(c.outer, c.topLeft, area);
        EXPECT_EQ(r.left, c.expected.left);
        EXPECT_EQ(r.top, c.expected.top);
        EXPECT_EQ(r.right, c.expected.right);
        EXPECT_EQ(r.bottom, c.expected.bottom);
    }
    Rect huge = PlaceWindow(Size{kMaxZoomedExtent, kMaxZoomedExtent}, Point{30000, 30000}, area);
    EXPECT_EQ(huge.right, 1920);
    EXPECT_EQ(static_cast<int64_t>(huge.right) - huge.left, kMaxZoomedExtent);
}

TEST(ZoomGeometry, ScrollRequestsMoveByLinesPagesAndEnds) {
    struct Case {
        int32_t code, current, client, track;
        bool has;
        int32_t expected;
    } cases[] = {
        {kScrollLineUp, 100, 799, 0, true, 61},  // a line is 799 / 20 = 39
        {kScrollLineDown, 100, 799, 0, true, 139},
        {kScrollPageUp, 1000, 600, 0, true, 400},
        {kScrollPageDown, 1000, 600, 0, true, 1600},
        {kScrollThumbPosition, 5, 600, 321, true, 321},
        {kScrollThumbTrack, 5, 600, 77, true, 77},
        {kScrollTop, 5000, 600, 0, true, 0},
        {kScrollBottom, 0, 600, 0, true, INT32_MAX},
        {8, 5, 600, 0, false, 0},  // SB_ENDSCROLL
        {kScrollPageDown, INT32_MAX - 10, 600, 0, true, INT32_MAX},
    };
    for (const Case& c : cases) {
        int32_t target = 0;
        EXPECT_EQ(ScrollTarget(c.code, c.current, c.client, c.track, target), c.has) << c.code;
        if (c.has) {
            EXPECT_EQ(target, c.expected) << c.code;
        }
    }
}

TEST(ZoomGeometry, WheelKeepsRemaindersAndDropsThemOnReversal) {
    struct Case {
        const char* name;
        int16_t deltas[3];
        int count;
        int32_t steps;  // summed
        int32_t remainder;
    } cases[] = {
        {"one notch", {120}, 1, 1, 0},
        {"three notches at once", {360}, 1, 3, 0},
        {"two halves", {60, 60}, 2, 1, 0},
        {"up then down", {60, -60}, 2, 0, -60},
        {"down notches", {-240, -30}, 2, -2, -30},
        {"reversal drops the rest", {100, -130}, 2, -1, -10},
        {"largest delta", {32767}, 1, 273, 7},
        {"smallest delta", {-32768}, 1, -273, -8},
    };
    for (const Case& c : cases) {
        int32_t remainder = 0;
        int32_t steps = 0;
        for (int i = 0; i < c.count; ++i) {
            steps += WheelSteps(c.deltas[i], remainder);
        }
        EXPECT_EQ(steps, c.steps) << c.name;
        EXPECT_EQ(remainder, c.remainder) << c.name;
    }
}

TEST(ZoomGeometry, SmoothingRuleByModeAndPercent) {
    // Rows: percent; columns: Disabled, Enabled, Automatic, an unknown mode.
    struct Case {
        int32_t percent;
        bool smooth[4];
    } cases[] = {
        {50, {false, true, true, false}},    {100, {false, false, false, false}},
        {120, {false, true, true, false}},   {150, {false, true, true, false}},
        {200, {false, true, false, false}},  {250, {false, true, true, false}},
        {5000, {false, true, false, false}},
    };
    const int32_t modes[4] = {0, 1, 2, 7};
    for (const Case& c : cases) {
        for (int m = 0; m < 4; ++m) {
            EXPECT_EQ(UsesSmoothStretch(modes[m], c.percent), c.smooth[m])
                << c.percent << "% mode " << modes[m];
        }
    }
}

TEST(ZoomGeometry, PaintSpanCoversTheClipWithWholeSourcePixels) {
    struct Case {
        const char* name;
        int32_t image, zoomed, origin, clipStart, clipEnd, margin;
        PaintSpan expected;
    } cases[] = {
        {"whole image at 100%", 800, 800, 0, 0, 800, 0, {0, 800, 0, 800}},
        {"strip at 200%", 800, 1600, 0, 101, 103, 0, {50, 52, 100, 104}},
        {"scrolled 5000%", 3840, 192000, -96010, 0, 100, 0, {1920, 1923, -10, 140}},
        {"centred, clip wider than image", 100, 100, 350, 0, 801, 0, {0, 100, 350, 450}},
        {"clip outside the image", 100, 100, 350, 0, 350, 0, {0, 0, 0, 0}},
        {"zero zoomed width", 1, 0, 400, 0, 800, 0, {0, 0, 0, 0}},
        {"margin stays in the image", 800, 1600, 0, 0, 10, 4, {0, 9, 0, 18}},
        {"margin on both sides", 800, 1600, 0, 100, 110, 4, {46, 59, 92, 118}},
        {"non-whole ratio", 10, 12, 0, 5, 7, 0, {4, 6, 4, 7}},
        {"half size", 801, 400, 0, 10, 20, 0, {20, 41, 9, 20}},
    };
    for (const Case& c : cases) {
        PaintSpan s =
            VisiblePaintSpan(c.image, c.zoomed, c.origin, c.clipStart, c.clipEnd, c.margin);
        EXPECT_EQ(s.sourceStart, c.expected.sourceStart) << c.name;
        EXPECT_EQ(s.sourceEnd, c.expected.sourceEnd) << c.name;
        if (c.expected.sourceEnd > c.expected.sourceStart) {
            EXPECT_EQ(s.clientStart, c.expected.clientStart) << c.name;
            EXPECT_EQ(s.clientEnd, c.expected.clientEnd) << c.name;
        }
    }
}

TEST(ZoomGeometry, PaintSpanOfAHugeZoomStaysInRange) {
    // A clamped zoomed extent of a very wide image: the span is still a few pixels.
    PaintSpan s =
        VisiblePaintSpan(2000000000, kMaxZoomedExtent, -(kMaxZoomedExtent - 1000), 0, 1000, 2);
    EXPECT_LE(s.sourceEnd, 2000000000);
    EXPECT_GT(s.sourceEnd, s.sourceStart);
    EXPECT_LT(s.sourceEnd - s.sourceStart, 2000);
    EXPECT_LE(s.clientStart, 0);
    EXPECT_GE(s.clientEnd, 1000);
}
