#pragma once
// ParseInt against the C runtime's reading of the same text: on chosen texts in the tests and
// on arbitrary ones in the fuzzer.
#include <cstdlib>
#include <cstring>

#include "tessel/parse_int.h"

// A sign, digits and nothing after them but spaces, tabs, carriage returns and line feeds give
// the value, else the default. Up to 18 digits fit 64 bits, whose low 32 bits are the wrapped
// value; longer runs are only checked to give a value.
inline bool ParseIntReadsAsTheRuntime(const char* text) {
    const char* digits = text + (text[0] == '+' || text[0] == '-');
    const size_t digitCount = std::strspn(digits, "0123456789");
    const char* rest = digits + digitCount;
    const bool valid = digitCount > 0 && rest[std::strspn(rest, " \t\r\n")] == '\0';
    // Two different defaults tell a parsed value from a fallback.
    const int32_t withA = ParseInt(text, 17);
    const int32_t withB = ParseInt(text, -17);
    if (!valid) {
        return withA == 17 && withB == -17;
    }
    const int64_t wide = std::strtoll(text, nullptr, 10);
    return withA == withB && (digitCount > 18 || withA == static_cast<int32_t>(wide));
}
