#include "capture/capture_region.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(CaptureRegionTest, ParsesStoredTexts) {
    struct Case {
        const char* text;
        Rect expected;
    };
    const Case cases[] = {
        {"10,20,310,220", {10, 20, 310, 220}},
        {",10,20,310,220", {10, 20, 310, 220}},
        {"10,20,310,220,", {10, 20, 310, 220}},
        {"10,,20,310,220", {10, 20, 310, 220}},
        {",,10,,,20,310,,220,,", {10, 20, 310, 220}},
        {"10,20,310", {0, 0, 0, 0}},
        {"10,20,310,220,5", {0, 0, 0, 0}},
        {"10, 20,310,220", {10, 0, 310, 220}},
        {"-5,0,100,100", {-5, 0, 100, 100}},
        {"10,20,310,220 ", {10, 20, 310, 220}},
        {"10,20,310,220\r\n", {10, 20, 310, 220}},
        {"+1,-2,+3,-4", {1, -2, 3, -4}},
        {"", {0, 0, 0, 0}},
        {",,,,", {0, 0, 0, 0}},
        {"garbage", {0, 0, 0, 0}},
        {"a,b,c,d", {0, 0, 0, 0}},
        {"1x,2,3y,4", {0, 2, 0, 4}},
        {"300,200,10,20", {300, 200, 10, 20}},
        // Over-long numbers wrap in 32 bits as the integer reader does.
        {"2147483647,-2147483648,4294967296,99999999999", {2147483647, INT32_MIN, 0, 1215752191}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseCaptureRegion(c.text), c.expected) << '"' << c.text << '"';
    }
    EXPECT_EQ(ParseCaptureRegion(nullptr), Rect{});
}

TEST(CaptureRegionTest, FormattedRegionReadsBackUnchanged) {
    const Rect regions[] = {
        {10, 20, 310, 220}, {-1920, -5, 0, 1080}, {0, 0, 0, 0}, {INT32_MIN, INT32_MAX, -1, 1}};
    for (const Rect& r : regions) {
        const Tessel::String text = FormatCaptureRegion(r);
        EXPECT_EQ(ParseCaptureRegion(text.CStr()), r) << text.CStr();
    }
    EXPECT_STREQ(FormatCaptureRegion(Rect{10, 20, 310, 220}).CStr(), "10,20,310,220");
    EXPECT_STREQ(FormatCaptureRegion(Rect{-1920, 0, -1, 5}).CStr(), "-1920,0,-1,5");
}

TEST(CaptureRegionTest, WaitIsDelayPlusSettleWithoutWrapping) {
    EXPECT_EQ(GetCaptureWaitMs(0), 400u);
    EXPECT_EQ(GetCaptureWaitMs(5000), 5400u);
    EXPECT_EQ(GetCaptureWaitMs(0xFFFFFFFEu - 400), 0xFFFFFFFEu);
    EXPECT_EQ(GetCaptureWaitMs(0xFFFFFFFEu - 399), 0xFFFFFFFEu);
    EXPECT_EQ(GetCaptureWaitMs(0xFFFFFFFFu), 0xFFFFFFFEu);
}

TEST(CaptureRegionTest, CropPlanCopiesWhatLiesInsideTheImage) {
    struct Case {
        const char* what;
        Rect region;
        Size result;
        Rect source;
        Point destination;
        bool copy;
        bool fill;
    };
    const Size image{1920, 1080};
    const Case cases[] = {
        {"inside", {10, 20, 310, 220}, {300, 200}, {10, 20, 310, 220}, {0, 0}, true, false},
        {"whole image", {0, 0, 1920, 1080}, {1920, 1080}, {0, 0, 1920, 1080}, {0, 0}, true, false},
        {"past right and bottom",
         {1900, 1000, 2000, 1100},
         {100, 100},
         {1900, 1000, 1920, 1080},
         {0, 0},
         true,
         true},
        {"before left and top",
         {-30, -40, 70, 60},
         {100, 100},
         {0, 0, 70, 60},
         {30, 40},
         true,
         true},
        {"around the image",
         {-1, -1, 1921, 1081},
         {1922, 1082},
         {0, 0, 1920, 1080},
         {1, 1},
         true,
         true},
        {"wholly outside", {3000, 0, 3100, 50}, {100, 50}, {0, 0, 0, 0}, {0, 0}, false, true},
        {"wholly left", {-3000, -10, -2900, 10}, {100, 20}, {0, 0, 0, 0}, {0, 0}, false, true},
        {"touching the edge", {1920, 0, 1930, 10}, {10, 10}, {0, 0, 0, 0}, {0, 0}, false, true},
    };
    for (const Case& c : cases) {
        CropPlan plan{};
        ASSERT_TRUE(PlanCrop(image, c.region, plan)) << c.what;
        EXPECT_EQ(plan.result, c.result) << c.what;
        EXPECT_EQ(plan.source, c.source) << c.what;
        EXPECT_EQ(plan.destination, c.destination) << c.what;
        EXPECT_EQ(plan.copy, c.copy) << c.what;
        EXPECT_EQ(plan.fill, c.fill) << c.what;
    }
}

TEST(CaptureRegionTest, CropPlanRefusesEmptyAndOversizedRegions) {
    const Rect refused[] = {
        {0, 0, 0, 0},
        {10, 10, 10, 20},
        {300, 200, 10, 20},  // inverted
        {INT32_MIN, 0, INT32_MAX, 10},
        {0, INT32_MIN, 10, INT32_MAX},
        {0, 0, 100000, 100000},
        {0, 0, 23171, 23171},  // one pixel row more than 2 GiB of 32-bit pixels allows
    };
    for (const Rect& r : refused) {
        CropPlan plan{};
        EXPECT_FALSE(PlanCrop(Size{1920, 1080}, r, plan))
            << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom;
    }
    CropPlan plan{};
    EXPECT_TRUE(PlanCrop(Size{1920, 1080}, Rect{0, 0, 23170, 23170}, plan));
    EXPECT_TRUE(PlanCrop(Size{1920, 1080}, Rect{INT32_MAX - 1, 0, INT32_MAX, 1}, plan));
    EXPECT_FALSE(plan.copy);
}

}  // namespace
