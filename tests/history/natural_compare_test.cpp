#include "history/natural_compare.h"

#include <gtest/gtest.h>

namespace {

int Sign(int value) {
    return (value > 0) - (value < 0);
}

TEST(NaturalCompare, OrdersNamesByTheirNumbersAndFoldedText) {
    struct Case {
        const char* a;
        const char* b;
        int sign;
    };
    const Case cases[] = {
        {"Glimpser 9.png", "Glimpser 10.png", -1},
        {"Glimpser 10.png", "Glimpser 9.png", 1},
        {"Glimpser 007.png", "Glimpser 7.png", 0},
        {"Glimpser 007.png", "Glimpser 8.png", -1},
        {"glimpser 7.png", "Glimpser 7.PNG", 0},
        {"Glimpser 3.png", "Glimpser 10.png", -1},
        {"", "", 0},
        {"", "a", -1},
        {"a", "", 1},
        {"Glimpser 1", "Glimpser 1.png", -1},
        {"1", "a", -1},  // digits before letters
        {"a", "1", 1},
        {"Glimpser .png", "Glimpser 1.png", -1},
        {"Glimpser abc.png", "Glimpser 999.png", 1},
        {"x2y", "x2z", -1},
        {"[", "a", -1},        // '[' lies between the capitals and the small letters
        {"\xC3\xA9", "z", 1},  // bytes above 0x7F compare unsigned
        {"0", "00", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(NaturalCompare(c.a, c.b)), c.sign) << c.a << " vs " << c.b;
    }
}

TEST(NaturalCompare, NullAndEmptyStringsCompareEqual) {
    EXPECT_EQ(NaturalCompare(Tessel::String(), Tessel::String("")), 0);
    EXPECT_LT(NaturalCompare(Tessel::String(), Tessel::String("a")), 0);
}

TEST(NaturalCompare, WrappingDigitRunsStillGiveAConsistentOrder) {
    // Values that wrap to the extremes of 32 bits: a plain difference of them overflows.
    const char* names[] = {
        "n 2147483647",
        "n 2147483648",
        "n 4294967295",
        "n 4294967296",
        "n 0",
        "n 1",
        "n 3000000000",
        "n 99999999999999999999",
        "n 12345678901",
        "n 000000002147483647x",
        "n -5",
        "n a",
        "n",
        "N 1",
        "n 1a",
        "n 01b",
    };
    const int count = static_cast<int>(sizeof(names) / sizeof(names[0]));
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(NaturalCompare(names[i], names[i]), 0) << names[i];
        for (int j = 0; j < count; ++j) {
            const int ij = Sign(NaturalCompare(names[i], names[j]));
            EXPECT_EQ(ij, -Sign(NaturalCompare(names[j], names[i])))
                << names[i] << " vs " << names[j];
            for (int k = 0; k < count; ++k) {
                const int jk = Sign(NaturalCompare(names[j], names[k]));
                if (ij <= 0 && jk <= 0) {
                    EXPECT_LE(NaturalCompare(names[i], names[k]), 0)
                        << names[i] << " <= " << names[j] << " <= " << names[k];
                }
            }
        }
    }
    // 2147483648 wraps to the most negative value, so it orders before 0.
    EXPECT_LT(NaturalCompare("n 2147483648", "n 0"), 0);
    EXPECT_GT(NaturalCompare("n 2147483647", "n 2147483648"), 0);
    EXPECT_EQ(NaturalCompare("n 4294967296", "n 0"), 0);
}

}  // namespace
