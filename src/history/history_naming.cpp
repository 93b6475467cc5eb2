#include "history/history_naming.h"

#include <cstring>

#include "history/natural_compare.h"
#include "tessel/format.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualFolded(const char* a, const char* b, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) {
            return false;
        }
    }
    return true;
}

// The smallest number from `from` up, below INT32_MAX, whose name sorts after `name`. Past the
// format's prefix the order is decided by the name's digit run there (its value v: from, v or
// v + 1 is the first to follow it), or by a single other byte, which every number or none
// follows; so checking those three candidates with the ordering itself is enough.
bool FirstNumberAfter(const char* name, const char* nameFormat, int32_t from, int32_t& number,
                      bool& numbered) {
    const char* placeholder = std::strstr(nameFormat, "%i");
    const size_t prefixLength =
        placeholder != nullptr ? static_cast<size_t>(placeholder - nameFormat) : 0;
    int64_t candidates[3] = {from, from, from};
    numbered = placeholder != nullptr && std::strlen(name) > prefixLength &&
               EqualFolded(name, nameFormat, prefixLength) && IsDigit(name[prefixLength]);
    if (numbered) {
        uint32_t value = 0;
        for (const char* p = name + prefixLength; IsDigit(*p); ++p) {
            value = value * 10u + static_cast<uint32_t>(*p - '0');
        }
        const int32_t run = static_cast<int32_t>(value);
        candidates[1] = run > from ? run : from;
        candidates[2] = candidates[1] + 1;
    }
    for (const int64_t candidate : candidates) {
        if (candidate < INT32_MAX &&
            NaturalCompare(
                name, Tessel::Format(nameFormat, static_cast<int32_t>(candidate)).CStr()) < 0) {
            number = static_cast<int32_t>(candidate);
            return true;
        }
    }
    return false;
}

}  // namespace

bool ChooseHistoryNumber(const Tessel::List<Tessel::String>& sortedNames, const char* nameFormat,
                         int32_t nextNumber, int32_t& number) {
    for (int i = sortedNames.Count() - 1; i >= 0; --i) {
        bool numbered = false;
        if (FirstNumberAfter(sortedNames[i].CStr(), nameFormat, nextNumber, number, numbered)) {
            return true;
        }
        // A numbered name that no number below the largest can follow: the numbers have run
        // out. Any other name (letters where the number belongs) no number can ever follow,
        // so it takes no part.
        if (numbered) {
            return false;
        }
    }
    if (nextNumber >= INT32_MAX) {
        return false;
    }
    number = nextNumber;
    return true;
}

int TrimCount(int count, int32_t maxHistory, int older) {
    if (maxHistory < 0 || count <= maxHistory) {
        return 0;
    }
    return count - maxHistory < older ? count - maxHistory : older;
}

bool IsHistoryName(const char* name, const char* nameFormat) {
    const char* placeholder = std::strstr(nameFormat, "%i");
    if (placeholder == nullptr) {
        return false;
    }
    const size_t prefixLength = static_cast<size_t>(placeholder - nameFormat);
    if (std::strlen(name) < prefixLength || !EqualFolded(name, nameFormat, prefixLength)) {
        return false;
    }
    const char* digits = name + prefixLength;
    const char* rest = digits;
    while (IsDigit(*rest)) {
        ++rest;
    }
    const char* suffix = placeholder + 2;
    const size_t suffixLength = std::strlen(suffix);
    return rest != digits && std::strlen(rest) == suffixLength &&
           EqualFolded(rest, suffix, suffixLength);
}
