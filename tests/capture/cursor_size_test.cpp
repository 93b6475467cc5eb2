#include "capture/cursor_size.h"

#include <gtest/gtest.h>

namespace {

TEST(CursorSizeTest, BaseSizeOutsideTheSystemRangeCountsAsDefault) {
    struct Case {
        bool found;
        uint32_t value;
        int32_t expected;
    };
    const Case cases[] = {{false, 48, 32},        {true, 0, 32},   {true, 16, 32},
                          {true, 31, 32},         {true, 32, 32},  {true, 48, 48},
                          {true, 256, 256},       {true, 257, 32}, {true, 300, 32},
                          {true, 0xFFFFFFFFu, 32}};
    for (const Case& c : cases) {
        EXPECT_EQ(ClampCursorBaseSize(c.found, c.value), c.expected) << c.found << ' ' << c.value;
    }
}

TEST(CursorSizeTest, MulDivRoundsToNearestAndReportsOverflow) {
    struct Case {
        int32_t a, b, c, expected;
    };
    const Case cases[] = {
        {48, 48, 32, 72},
        {32, 32, 32, 32},
        {3, 1, 2, 2},
        {5, 1, 2, 3},
        {-3, 1, 2, -2},
        {3, -1, 2, -2},
        {3, 1, -2, -2},
        {-3, -1, -2, -2},
        {10, 1, 3, 3},
        {20, 1, 3, 7},
        {7, 0, 5, 0},
        {7, 5, 0, -1},
        {INT32_MAX, 2, 2, INT32_MAX},
        {INT32_MAX, 2, 1, -1},
        {INT32_MIN, 1, 1, -1},
        {65536, 65536, 65536, 65536},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MulDivRound(c.a, c.b, c.c), c.expected) << c.a << '*' << c.b << '/' << c.c;
    }
}

TEST(CursorSizeTest, SharedCursorFollowsPreferenceAndMonitorPrivateKeepsItsOwnSize) {
    struct Case {
        const char* what;
        Size bitmap;
        Point hot;
        bool shared;
        int32_t baseSize, metric;
        CursorShape expected;
    };
    const Case cases[] = {
        {"shared at 48 on a 48 metric", {32, 32}, {10, 4}, true, 48, 48, {72, 72, 23, 9}},
        {"shared keeps aspect", {32, 48}, {16, 24}, true, 48, 48, {72, 108, 36, 54}},
        {"shared at defaults", {32, 32}, {0, 0}, true, 32, 32, {32, 32, 0, 0}},
        {"shared smaller than its image", {64, 64}, {31, 63}, true, 32, 32, {32, 32, 16, 32}},
        {"private keeps its size", {20, 30}, {7, 9}, false, 48, 48, {20, 30, 7, 9}},
        {"failed metric keeps its size", {32, 32}, {5, 6}, true, 32, 0, {32, 32, 5, 6}},
    };
    for (const Case& c : cases) {
        const CursorShape s = ScaleCursorShape(c.bitmap, c.hot, c.shared, c.baseSize, c.metric);
        EXPECT_EQ(s.width, c.expected.width) << c.what;
        EXPECT_EQ(s.height, c.expected.height) << c.what;
        EXPECT_EQ(s.hotX, c.expected.hotX) << c.what;
        EXPECT_EQ(s.hotY, c.expected.hotY) << c.what;
    }
}

}  // namespace
