#include "tessel/parse_int.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseInt, AcceptsOnlySignDigitsAndTrailingSpace) {
    const struct {
        const char* text;
        int32_t expected;
    } cases[] = {
        {"42\t\r\n ", 42},
        {"+7", 7},
        {"-0", 0},
        {"-2147483648", -2147483647 - 1},
        // Wrapping 32-bit arithmetic, not saturation.
        {"2147483648", -2147483647 - 1},
        {"4294967301", 5},
        {"99999999999999999999", 1661992959},
        // Malformed text gives the default.
        {" 42", -1},
        {"12x", -1},
        {"42 x", -1},
        {"42\v", -1},
        {"", -1},
        {"-", -1},
        {"+-1", -1},
        {"\xEF\xBC\x91", -1},  // a full-width digit is not a digit
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseInt(c.text, -1), c.expected) << c.text;
    }
    EXPECT_EQ(ParseInt(nullptr, 9), 9);
}

}  // namespace
