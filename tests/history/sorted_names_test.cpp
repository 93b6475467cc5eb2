#include "history/sorted_names.h"

#include <gtest/gtest.h>

#include "history/natural_compare.h"

namespace {

TEST(SortedNames, FindsTheExactNameAmongEquivalentOnes) {
    Tessel::List<Tessel::String> names;
    for (const char* name : {"Glimpser 10.png", "Glimpser 7.png", "glimpser 7.png",
                             "Glimpser 007.png", "Glimpser 2.png", "Glimpser abc.png"}) {
        names.Append(Tessel::String(name));
    }
    names.Sort(NaturalCompare);
    for (const char* name : {"Glimpser 10.png", "Glimpser 7.png", "glimpser 7.png",
                             "Glimpser 007.png", "Glimpser 2.png", "Glimpser abc.png"}) {
        const int found = FindSortedName(names, Tessel::String(name));
        ASSERT_GE(found, 0) << name;
        EXPECT_STREQ(names[found].CStr(), name);
    }
    for (const char* name : {"Glimpser 07.png", "GLIMPSER 2.png", "Glimpser 1.png", ""}) {
        EXPECT_EQ(FindSortedName(names, Tessel::String(name)), -1) << name;
    }
}

TEST(SortedNames, FindsTheFirstOfDuplicates) {
    Tessel::List<Tessel::String> names;
    for (const char* name : {"a 1", "a 2", "a 2", "a 2", "a 3"}) {
        names.Append(Tessel::String(name));
    }
    EXPECT_EQ(FindSortedName(names, Tessel::String("a 2")), 1);
}

TEST(SortedNames, InsertPositionGoesBehindEquivalentNames) {
    Tessel::List<Tessel::String> names;
    for (const char* name :
         {"Glimpser 3.png", "Glimpser 5.png", "Glimpser 05.png", "Glimpser abc.png"}) {
        names.Append(Tessel::String(name));
    }
    struct Case {
        const char* name;
        int position;
    };
    const Case cases[] = {
        {"Glimpser 1.png", 0}, {"Glimpser 4.png", 1},   {"Glimpser 5.png", 3},
        {"Glimpser 6.png", 3}, {"Glimpser zzz.png", 4},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindSortedInsertPosition(names, Tessel::String(c.name)), c.position) << c.name;
    }
    EXPECT_EQ(FindSortedInsertPosition(Tessel::List<Tessel::String>(), Tessel::String("x")), 0);
}

}  // namespace
