#include "capture/capture_region.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace {

// Commas added at the front, at the end or doubled, and white space after a number, change
// nothing; anything but four pieces is no region; a piece that is not a number is 0 alone;
// over-long numbers wrap in 32 bits as the integer reader does.
TEST(CaptureRegionTest, ParsesStoredTexts) {
    for (const char* text : {"10,20,310,220", ",10,20,310,220", "10,20,310,220,", "10,,20,310,220",
                             "10,20,310,220 "}) {
        EXPECT_EQ(ParseCaptureRegion(text), (Rect{10, 20, 310, 220})) << '"' << text << '"';
    }
    for (const char* text : {"10,20,310", "10,20,310,220,5", "", "garbage"}) {
        EXPECT_EQ(ParseCaptureRegion(text), Rect{}) << '"' << text << '"';
    }
    EXPECT_EQ(ParseCaptureRegion(nullptr), Rect{});
    const std::pair<const char*, Rect> cases[] = {
        {"10, 20,310,220", {10, 0, 310, 220}},
        {"-5,0,100,100", {-5, 0, 100, 100}},
        {"1x,2,3y,4", {0, 2, 0, 4}},
        {"2147483647,-2147483648,4294967296,99999999999", {2147483647, INT32_MIN, 0, 1215752191}},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ParseCaptureRegion(text), expected) << '"' << text << '"';
    }
    EXPECT_STREQ(FormatCaptureRegion(Rect{-1920, 0, -1, 5}).CStr(), "-1920,0,-1,5");
    const Rect extreme{INT32_MIN, INT32_MAX, -1, 1};
    EXPECT_EQ(ParseCaptureRegion(FormatCaptureRegion(extreme).CStr()), extreme);
}

// The wait never reaches Sleep's "forever", 0xFFFFFFFF (that it is the delay and the settle
// time, the session tests find by the overlay's first showing and the delayed grab). A crop is
// refused when empty, inverted, beyond 32 bits or larger than a 2 GiB bitmap holds.
TEST(CaptureRegionTest, WaitAndCropStayInRange) {
    EXPECT_EQ(GetCaptureWaitMs(0xFFFFFFFFu - 399), 0xFFFFFFFEu);
    const Rect refused[] = {{10, 10, 10, 20},
                            {300, 200, 10, 20},
                            {INT32_MIN, 0, INT32_MAX, 10},
                            {0, INT32_MIN, 10, INT32_MAX},
                            {0, 0, 23171, 23171}};
    CropPlan plan{};
    for (const Rect& r : refused) {
        EXPECT_FALSE(PlanCrop(Size{1920, 1080}, r, plan)) << r.left << ',' << r.right;
    }
    EXPECT_TRUE(PlanCrop(Size{1920, 1080}, Rect{0, 0, 23170, 23170}, plan));
}

// A region stored on another monitor layout may reach past the image on any side, or lie
// wholly outside it: the part inside is copied to its place, and the rest is filled.
TEST(CaptureRegionTest, CropCopiesWhatLiesInsideTheImageAndFillsTheRest) {
    const std::tuple<Rect, Rect, Point> cases[] = {
        {{-20, -10, 40, 30}, {0, 0, 40, 30}, {20, 10}},
        {{1900, 1070, 1940, 1090}, {1900, 1070, 1920, 1080}, {0, 0}},
        {{2000, 0, 2010, 4}, {}, {}},
        {{5, 6, 25, 16}, {5, 6, 25, 16}, {0, 0}},
    };
    for (const auto& [r, source, destination] : cases) {
        CropPlan plan{};
        ASSERT_TRUE(PlanCrop(Size{1920, 1080}, r, plan));
        EXPECT_EQ(plan.result, (Size{r.right - r.left, r.bottom - r.top}));
        EXPECT_EQ(plan.source, source);
        EXPECT_EQ(plan.destination, destination);
        EXPECT_EQ(plan.copy, !IsRectEmpty(source));
        EXPECT_EQ(plan.fill, source != r);
    }
}

}  // namespace
