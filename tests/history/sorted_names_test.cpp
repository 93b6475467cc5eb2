#include "history/sorted_names.h"

#include <gtest/gtest.h>

#include "history/natural_compare.h"

namespace {

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
