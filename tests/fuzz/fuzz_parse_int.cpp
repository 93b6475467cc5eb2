// Arbitrary text through ParseInt, checked against a slow reference reading.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "history/parse_int.h"

namespace {

// Reference: the same grammar with 64-bit accumulation folded to 32 bits at the end.
bool Reference(const char* text, int32_t& value) {
    size_t i = 0;
    const bool negative = text[0] == '-';
    if (text[0] == '+' || text[0] == '-') {
        i = 1;
    }
    const size_t digitsStart = i;
    uint64_t accumulated = 0;
    while (text[i] >= '0' && text[i] <= '9') {
        accumulated = (accumulated * 10 + static_cast<uint64_t>(text[i] - '0')) & 0xFFFFFFFFu;
        ++i;
    }
    if (i == digitsStart) {
        return false;
    }
    for (; text[i] != '\0'; ++i) {
        if (std::strchr(" \t\r\n", text[i]) == nullptr) {
            return false;
        }
    }
    const uint32_t bits = static_cast<uint32_t>(negative ? (0 - accumulated) : accumulated);
    value = static_cast<int32_t>(bits);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The parsers read terminated text; an embedded NUL simply ends it early.
    const std::string text(reinterpret_cast<const char*>(data), size);
    int32_t expected = 0;
    const bool valid = Reference(text.c_str(), expected);
    // Two different defaults tell a parsed value from a fallback.
    const int32_t withA = ParseInt(text.c_str(), 17);
    const int32_t withB = ParseInt(text.c_str(), -17);
    if (valid ? (withA != expected || withB != expected) : (withA != 17 || withB != -17)) {
        std::abort();
    }
    return 0;
}
