#include "imaging/scaled_size.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

TEST(ScaleLength, RoundsHalvesAwayFromZeroAndStaysInRange) {
    struct Case {
        int32_t length;
        double factor;
        int32_t expected;
    };
    const Case cases[] = {
        {100, 96.0 / 144.0, 67},  // a 144-DPI capture copied at 96 DPI
        {50, 96.0 / 144.0, 33},
        {5, 0.5, 3},
        {-5, 0.5, -3},
        {INT32_MAX, 2.0, INT32_MAX},
        {INT32_MAX, -2.0, INT32_MIN},
        {10, std::numeric_limits<double>::infinity(), INT32_MAX},
        {10, std::nan(""), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaleLength(c.length, c.factor), c.expected) << c.length << " x " << c.factor;
    }
}

}  // namespace
