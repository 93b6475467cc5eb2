// Arbitrary text through ParseInt, checked against the C runtime's reading of the same text.
#include <cstring>

#include "fuzz/fuzz_harness.h"
#include "tessel/parse_int.h"

void Fuzz(const std::string& input) {
    const char* text = input.c_str();
    const char* digits = text + (text[0] == '+' || text[0] == '-');
    const size_t digitCount = std::strspn(digits, "0123456789");
    const char* rest = digits + digitCount;
    const bool valid = digitCount > 0 && rest[std::strspn(rest, " \t\r\n")] == '\0';
    // Two different defaults tell a parsed value from a fallback.
    const int32_t withA = ParseInt(text, 17);
    const int32_t withB = ParseInt(text, -17);
    Check(valid || (withA == 17 && withB == -17));
    // Up to 18 digits fit 64 bits, whose low 32 bits are the wrapped value.
    const int64_t wide = std::strtoll(text, nullptr, 10);
    Check(!valid || (withA == withB && (digitCount > 18 || withA == static_cast<int32_t>(wide))));
}
