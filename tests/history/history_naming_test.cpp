#include "history/history_naming.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

const char kFormat[] = "Glimpser %i.png";

TEST(ChooseHistoryNumber, LiesAboveTheNewestNumberedNameAndNeverGoesBack) {
    struct Case {
        std::initializer_list<const char*> names;
        int32_t nextNumber;
        bool chosen;
        int32_t number;
    };
    const Case cases[] = {
        {{}, 1, true, 1},
        {{"Glimpser 3.png", "Glimpser 10.png"}, 20, true, 20},
        // Renamed files that no number can sort after take no part; others are followed.
        {{"Glimpser 4.png", "Glimpser abc.png", "Glimpser zzz.png"}, 1, true, 5},
        {{"Glimpser 11.png", "Glimpser 12x.png"}, 1, true, 13},
        {{"Glimpser 11.png", "Glimpser 12x.png", "Glimpser abc.png"}, 1, true, 13},
        {{"Glimpser -3.png"}, 1, true, 1},
        {{"Glimpser 2147483646x.png"}, 1, false, 0},
        {{"Glimpser 2147483645.png"}, 1, true, 2147483646},
        {{"Glimpser 2147483646.png"}, 1, false, 0},
        {{}, INT32_MAX, false, 0},
        // Wrapped to the most negative value, it is the oldest by the ordering.
        {{"Glimpser 2147483648.png", "Glimpser 5.png"}, 1, true, 6},
    };
    for (const Case& c : cases) {
        Tessel::List<Tessel::String> names;
        for (const char* name : c.names) {
            names.Append(Tessel::String(name));
        }
        int32_t number = -99;
        EXPECT_EQ(ChooseHistoryNumber(names, kFormat, c.nextNumber, number), c.chosen)
            << c.nextNumber << " " << names.Count();
        EXPECT_EQ(number, c.chosen ? c.number : -99) << c.nextNumber << " " << names.Count();
    }
}

// A file newer than the capture being stored belongs to another process's capture: the trim
// stops at the capture, whatever the limit asks.
TEST(TrimCount, TakesTheOldestButNeverPastTheNewCapture) {
    const struct {
        int count;
        int32_t maxHistory;
        int older;
        int trimmed;
    } cases[] = {{5, 3, 4, 2}, {5, 3, 1, 1}, {5, 0, 3, 3}, {3, 3, 2, 0}, {9, -1, 8, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(TrimCount(c.count, c.maxHistory, c.older), c.trimmed)
            << c.count << " " << c.maxHistory << " " << c.older;
    }
}

TEST(IsHistoryName, IsTheFormatWithDigitsForItsNumber) {
    const struct {
        const char* name;
        bool matches;
    } cases[] = {{"Glimpser 12.png", true},     {"glimpser 007.PNG", true},
                 {"Glimpser .png", false},      {"Glimpser 1x.png", false},
                 {"Glimpser 1.png.bak", false}, {"Glimpser 1.pn", false},
                 {"Glimpser", false},           {"Other 1.png", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsHistoryName(c.name, kFormat), c.matches) << c.name;
    }
}

}  // namespace
