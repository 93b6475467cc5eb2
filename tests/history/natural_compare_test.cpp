#include "history/natural_compare.h"

#include <gtest/gtest.h>

#include "history/naming_properties.h"
#include "history/sorted_names.h"

namespace {

TEST(NaturalCompare, OrdersNamesByTheirNumbersAndFoldedText) {
    struct Case {
        const char* a;
        const char* b;
        int sign;
    };
    const Case cases[] = {
        {"Glimpser 9.png", "Glimpser 10.png", -1},
        {"Glimpser 007.png", "Glimpser 7.png", 0},
        {"glimpser 7.png", "Glimpser 7.PNG", 0},
        {nullptr, "", 0},
        {nullptr, "a", -1},
        {"Glimpser 1", "Glimpser 1.png", -1},
        {"1", "a", -1},        // digits before letters
        {"[", "a", -1},        // '[' lies between the capitals and the small letters
        {"\xC3\xA9", "z", 1},  // bytes above 0x7F compare unsigned
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(NaturalCompare(c.a, c.b)), c.sign) << c.a << " vs " << c.b;
        EXPECT_EQ(Sign(NaturalCompare(c.b, c.a)), -c.sign) << c.b << " vs " << c.a;
    }
}

// Digit runs wrap like 32-bit values ("Glimpser 2147483648.png" is the most negative), also
// past 64 bits, and still give a consistent order: values at the extremes of 32 bits, where a
// plain difference would overflow and flip.
TEST(NaturalCompare, WrappingDigitRunsStillGiveAConsistentOrder) {
    Tessel::List<Tessel::String> names;
    for (const char* name :
         {"n 2147483647", "n 2147483648", "n 4294967295", "n 0", "n 3000000000",
          "n 99999999999999999999", "n a", "n", "N 1", "n 01b", "Glimpser 2147483648.png",
          "Glimpser 4294967301.png", "Glimpser 5.png", "Glimpser 12x.png"}) {
        names.Append(Tessel::String(name));
    }
    EXPECT_TRUE(NamingPropertiesHold(names));
}

TEST(SortedNames, FindsTheExactNameAndInsertsBehindEquivalentOnes) {
    Tessel::List<Tessel::String> names;
    for (const char* name : {"Glimpser 10.png", "Glimpser 7.png", "glimpser 7.png",
                             "Glimpser 007.png", "Glimpser 2.png", "Glimpser 2.png", "x"}) {
        names.Append(Tessel::String(name));
    }
    names.Sort(NaturalCompare);
    struct Case {
        const char* name;
        bool found;
        int insertAt;  // after 2, 2, the three 7s, 10
    };
    const Case cases[] = {
        {"Glimpser 7.png", true, 5},  {"glimpser 7.png", true, 5},   {"Glimpser 007.png", true, 5},
        {"Glimpser 2.png", true, 2},  {"Glimpser 07.png", false, 5}, {"GLIMPSER 2.png", false, 2},
        {"Glimpser 1.png", false, 0}, {"Glimpser 11.png", false, 6}, {"y", false, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int found = FindSortedName(names, Tessel::String(c.name));
        EXPECT_EQ(found >= 0, c.found);
        if (c.found) {
            EXPECT_STREQ(names[found].CStr(), c.name);
            // The first of duplicates.
            EXPECT_TRUE(found == 0 || !(names[found - 1] == names[found]));
        }
        EXPECT_EQ(FindSortedInsertPosition(names, Tessel::String(c.name)), c.insertAt);
    }
}

}  // namespace
