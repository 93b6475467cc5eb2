#include "tessel/parse_int.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsTrailingSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

int32_t ParseInt(const char* text, int32_t def) {
    if (text == nullptr) {
        return def;
    }
    const char* p = text;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (!IsDigit(*p)) {
        return def;
    }
    // Unsigned arithmetic gives the wrap-around without signed overflow.
    uint32_t value = 0;
    while (IsDigit(*p)) {
        value = value * 10u + static_cast<uint32_t>(*p - '0');
        ++p;
    }
    while (IsTrailingSpace(*p)) {
        ++p;
    }
    if (*p != '\0') {
        return def;
    }
    return static_cast<int32_t>(negative ? 0u - value : value);
}
