#include "history/history_naming.h"

#include <cstring>

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

}  // namespace

bool ReadHistoryNumber(const char* name, const char* nameFormat, int32_t& number) {
    const char* placeholder = std::strstr(nameFormat, "%i");
    if (placeholder == nullptr) {
        return false;
    }
    const size_t prefixLength = static_cast<size_t>(placeholder - nameFormat);
    const char* suffix = placeholder + 2;
    const size_t suffixLength = std::strlen(suffix);
    const size_t nameLength = std::strlen(name);
    if (nameLength <= prefixLength + suffixLength || !EqualFolded(name, nameFormat, prefixLength) ||
        !EqualFolded(name + nameLength - suffixLength, suffix, suffixLength)) {
        return false;
    }
    uint32_t value = 0;
    for (const char* p = name + prefixLength; p < name + nameLength - suffixLength; ++p) {
        if (!IsDigit(*p)) {
            return false;
        }
        value = value * 10u + static_cast<uint32_t>(*p - '0');
    }
    number = static_cast<int32_t>(value);
    return true;
}

bool ChooseHistoryNumber(const Tessel::List<Tessel::String>& sortedNames, const char* nameFormat,
                         int32_t nextNumber, int32_t& number) {
    int64_t candidate = nextNumber;
    for (int i = sortedNames.Count() - 1; i >= 0; --i) {
        int32_t newest = 0;
        if (ReadHistoryNumber(sortedNames[i].CStr(), nameFormat, newest)) {
            if (static_cast<int64_t>(newest) + 1 > candidate) {
                candidate = static_cast<int64_t>(newest) + 1;
            }
            break;
        }
    }
    if (candidate >= INT32_MAX) {
        return false;
    }
    number = static_cast<int32_t>(candidate);
    return true;
}

int TrimCount(int count, int32_t maxHistory) {
    if (maxHistory < 0 || count <= maxHistory) {
        return 0;
    }
    return count - maxHistory;
}
