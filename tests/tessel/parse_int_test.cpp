#include "tessel/parse_int.h"

#include <gtest/gtest.h>

#include "tessel/parse_int_reading.h"

namespace {

TEST(ParseInt, AcceptsOnlySignDigitsAndTrailingSpaceAndWraps) {
    // A space before the digits, a vertical tab after them and a full-width digit are malformed.
    for (const char* text : {"42\t\r\n ", "+7", "-0", "-2147483648", "2147483648", "4294967301",
                             " 42", "12x", "42 x", "42\v", "", "-", "+-1", "\xEF\xBC\x91"}) {
        EXPECT_TRUE(ParseIntReadsAsTheRuntime(text)) << text;
    }
    // Wrapping 32-bit arithmetic, not saturation, also past 64 bits.
    EXPECT_EQ(ParseInt("99999999999999999999", -1), 1661992959);
    EXPECT_EQ(ParseInt(nullptr, 9), 9);
}

}  // namespace
