#include "viewer/zoom_geometry.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(ZoomGeometry, ZoomedExtentTruncatesAndNeverOverflows) {
    EXPECT_EQ(ZoomedExtent(3, 50), 1);
    EXPECT_EQ(ZoomedExtent(800, 120), 960);
    // 5000 × 500,000 passes 2^31 before the division.
    EXPECT_EQ(ZoomedExtent(500000, 5000), 25000000);
    EXPECT_EQ(ZoomedExtent(2000000000, 5000), kMaxZoomedExtent);
}

TEST(ZoomGeometry, FitMaximizesOnlyAboveHundred) {
    Rect area{0, 0, 1920, 1040};  // 90%: 1728 by 936
    EXPECT_TRUE(FitsWorkArea(Size{1728, 936}, area));
    EXPECT_FALSE(FitsWorkArea(Size{1729, 936}, area));
    EXPECT_FALSE(FitsWorkArea(Size{1728, 937}, area));
    // Maximizing past the work area, keeping the window the user maximized, and restoring once
    // the zoom fits again are the window walk's (ZoomFitsOrMaximizesTheWindow...); what it never
    // meets is a 100% image too big to fit, which is placed rather than maximized.
    const FitDecision d = DecideFit(false, 100, false, false);
    EXPECT_EQ(std::tie(d.maximize, d.restore, d.place, d.maximizedByFit),
              std::make_tuple(false, false, true, false));
}

TEST(ZoomGeometry, PlacementKeepsTopLeftAndPullsRightAndBottomIn) {
    Rect area{0, 0, 1920, 1040};
    EXPECT_EQ(PlaceWindow(Size{816, 639}, Point{1500, 100}, area), (Rect{1104, 100, 1920, 739}));
    EXPECT_EQ(PlaceWindow(Size{816, 639}, Point{100, 900}, area), (Rect{100, 401, 916, 1040}));
    Rect huge = PlaceWindow(Size{kMaxZoomedExtent, kMaxZoomedExtent}, Point{30000, 30000}, area);
    EXPECT_EQ(huge.right, 1920);
    EXPECT_EQ(static_cast<int64_t>(huge.right) - huge.left, kMaxZoomedExtent);
}

TEST(ZoomGeometry, ScrollRequestsSaturateAndEndScrollAsksForNothing) {
    int32_t target = 0;
    EXPECT_TRUE(ScrollTarget(kScrollPageDown, INT32_MAX - 10, 600, 0, target));
    EXPECT_EQ(target, INT32_MAX);
    EXPECT_TRUE(ScrollTarget(kScrollThumbTrack, 5, 600, 77, target));
    EXPECT_EQ(target, 77);
    EXPECT_FALSE(ScrollTarget(8, 5, 600, 0, target));  // SB_ENDSCROLL
}

TEST(ZoomGeometry, SmoothingRuleByModeAndPercent) {
    // Per percent, whether Disabled, Enabled, Automatic and an unknown mode smooth.
    const struct {
        int32_t percent;
        const char* smooth;
    } cases[] = {{50, "0110"}, {100, "0000"}, {150, "0110"}, {200, "0100"}, {5000, "0100"}};
    const int32_t modes[4] = {0, 1, 2, 7};
    for (const auto& c : cases) {
        for (int m = 0; m < 4; ++m) {
            EXPECT_EQ(UsesSmoothStretch(modes[m], c.percent), c.smooth[m] == '1')
                << c.percent << "% mode " << modes[m];
        }
    }
}
