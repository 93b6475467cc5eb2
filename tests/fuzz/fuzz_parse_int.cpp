// Arbitrary text through ParseInt, checked against the C runtime's reading of the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tessel/parse_int.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The parser reads terminated text; an embedded NUL simply ends it early.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* digits = text.c_str() + (text[0] == '+' || text[0] == '-');
    const size_t digitCount = std::strspn(digits, "0123456789");
    const char* rest = digits + digitCount;
    const bool valid = digitCount > 0 && rest[std::strspn(rest, " \t\r\n")] == '\0';
    // Two different defaults tell a parsed value from a fallback.
    const int32_t withA = ParseInt(text.c_str(), 17);
    const int32_t withB = ParseInt(text.c_str(), -17);
    if (!valid && (withA != 17 || withB != -17)) {
        std::abort();
    }
    // Up to 18 digits fit 64 bits, whose low 32 bits are the wrapped value.
    const int64_t wide = std::strtoll(text.c_str(), nullptr, 10);
    if (valid && (withA != withB || (digitCount <= 18 && withA != static_cast<int32_t>(wide)))) {
        std::abort();
    }
    return 0;
}
