#pragma once
// What the history relies on for any names, checked on chosen extremes by the tests and on
// arbitrary names by the fuzzer: NaturalCompare is a consistent order (it drives sorting and
// binary search), numbered names order like their numbers, every sorted name is found, and a
// chosen number sorts after every name that some number can follow.
#include <cstdint>
#include <cstring>

#include "history/history_naming.h"
#include "history/natural_compare.h"
#include "history/sorted_names.h"
#include "tessel/format.h"

inline int Sign(int value) {
    return (value > 0) - (value < 0);
}

// The number of a name that is the format's prefix, digits and suffix, read in wrapping 32-bit
// arithmetic as NaturalCompare reads a digit run; false for any other name.
inline bool NumberOf(const Tessel::String& name, int32_t& number) {
    const char* text = name.CStr();
    const size_t length = std::strlen(text);
    if (length <= 13 || std::strncmp(text, "Glimpser ", 9) != 0 ||
        std::strcmp(text + length - 4, ".png") != 0) {
        return false;
    }
    uint32_t value = 0;
    for (const char* p = text + 9; p < text + length - 4; ++p) {
        if (*p < '0' || *p > '9') {
            return false;
        }
        value = value * 10u + static_cast<uint32_t>(*p - '0');
    }
    number = static_cast<int32_t>(value);
    return true;
}

// Sorts the names.
inline bool NamingPropertiesHold(Tessel::List<Tessel::String>& names) {
    const char format[] = "Glimpser %i.png";
    for (const Tessel::String& a : names) {
        for (const Tessel::String& b : names) {
            const int ab = Sign(NaturalCompare(a, b));
            int32_t na = 0;
            int32_t nb = 0;
            if (ab != -Sign(NaturalCompare(b, a)) ||
                (NumberOf(a, na) && NumberOf(b, nb) && ab != (na > nb) - (na < nb))) {
                return false;
            }
            for (const Tessel::String& c : names) {
                if (ab <= 0 && NaturalCompare(b, c) <= 0 && NaturalCompare(a, c) > 0) {
                    return false;
                }
            }
        }
    }
    names.Sort(NaturalCompare);
    for (const Tessel::String& name : names) {
        const int found = FindSortedName(names, name);
        if (found < 0 || !(names[found] == name)) {
            return false;
        }
    }
    int32_t number = 0;
    if (!ChooseHistoryNumber(names, format, 1, number)) {
        return true;
    }
    const Tessel::String chosen = Tessel::Format(format, number);
    const Tessel::String largest = Tessel::Format(format, INT32_MAX - 1);
    for (const Tessel::String& name : names) {
        if (NaturalCompare(name, chosen) >= 0 && NaturalCompare(name, largest) < 0) {
            return false;
        }
    }
    const int position = FindSortedInsertPosition(names, chosen);
    return position == names.Count() || NaturalCompare(names[position], chosen) > 0;
}
