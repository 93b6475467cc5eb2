#include "history/history_naming.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

const char kFormat[] = "Glimpser %i.png";

Tessel::List<Tessel::String> Names(std::initializer_list<const char*> names) {
    Tessel::List<Tessel::String> list;
    for (const char* name : names) {
        list.Append(Tessel::String(name));
    }
    return list;
}

TEST(ReadHistoryNumber, AcceptsOnlyPrefixDigitsSuffix) {
    struct Case {
        const char* name;
        bool numbered;
        int32_t number;
    };
    const Case cases[] = {
        {"Glimpser 1.png", true, 1},
        {"Glimpser 007.png", true, 7},
        {"GLIMPSER 12.PNG", true, 12},
        {"Glimpser 4294967297.png", true, 1},  // wraps as the ordering reads it
        {"Glimpser 2147483648.png", true, INT32_MIN},
        {"Glimpser .png", false, 0},
        {"Glimpser abc.png", false, 0},
        {"Glimpser 5 (copy).png", false, 0},
        {"Glimpser -5.png", false, 0},
        {"Glimpser 5.png.png", false, 0},
        {"Glimpser 5.jpg", false, 0},
        {"Glimpse 5.png", false, 0},
        {"Glimpser 5png", false, 0},
        {"", false, 0},
    };
    for (const Case& c : cases) {
        int32_t number = -99;
        EXPECT_EQ(ReadHistoryNumber(c.name, kFormat, number), c.numbered) << c.name;
        EXPECT_EQ(number, c.numbered ? c.number : -99) << c.name;
    }
    int32_t number = 0;
    EXPECT_FALSE(ReadHistoryNumber("Glimpser.png", "Glimpser.png", number));
}

TEST(ChooseHistoryNumber, LiesAboveTheNewestNumberedNameAndNeverGoesBack) {
    struct Case {
        std::initializer_list<const char*> names;
        int32_t nextNumber;
        bool chosen;
        int32_t number;
    };
    const Case cases[] = {
        {{}, 1, true, 1},
        {{"Glimpser 1.png"}, 2, true, 2},
        {{"Glimpser 3.png", "Glimpser 10.png"}, 1, true, 11},
        {{"Glimpser 3.png", "Glimpser 10.png"}, 20, true, 20},
        {{"Glimpser 007.png"}, 1, true, 8},
        // Renamed files that no number can sort after do not stop the search.
        {{"Glimpser 4.png", "Glimpser abc.png", "Glimpser zzz.png"}, 1, true, 5},
        {{"Glimpser abc.png"}, 3, true, 3},
        {{"Glimpser 2147483645.png"}, 1, true, 2147483646},
        {{"Glimpser 2147483646.png"}, 1, false, 0},
        {{}, INT32_MAX, false, 0},
        // Wrapped to the most negative value, it is the oldest by the ordering.
        {{"Glimpser 2147483648.png", "Glimpser 5.png"}, 1, true, 6},
    };
    for (const Case& c : cases) {
        const Tessel::List<Tessel::String> names = Names(c.names);
        int32_t number = -99;
        EXPECT_EQ(ChooseHistoryNumber(names, kFormat, c.nextNumber, number), c.chosen)
            << c.nextNumber;
        EXPECT_EQ(number, c.chosen ? c.number : -99) << c.nextNumber;
    }
}

TEST(TrimCount, KeepsMaxHistoryAndNeverTrimsWhenNegative) {
    struct Case {
        int count;
        int32_t maxHistory;
        int trimmed;
    };
    const Case cases[] = {
        {5, 3, 2}, {3, 3, 0}, {2, 3, 0}, {4, 0, 4}, {0, 0, 0}, {1000, -1, 0}, {7, INT32_MIN, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrimCount(c.count, c.maxHistory), c.trimmed) << c.count << " " << c.maxHistory;
    }
}

}  // namespace
