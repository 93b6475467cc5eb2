#include "history/natural_compare.h"

#include <cstdint>

namespace {

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

unsigned char FoldCase(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Reads the digit run at `p` and leaves `p` behind it. The value wraps like a 32-bit
// register would; unsigned arithmetic keeps that free of signed overflow.
int32_t ReadDigitRun(const unsigned char*& p) {
    uint32_t value = 0;
    while (IsDigit(*p)) {
        value = value * 10u + static_cast<uint32_t>(*p - '0');
        ++p;
    }
    return static_cast<int32_t>(value);
}

}  // namespace

int NaturalCompare(const char* a, const char* b) {
    const unsigned char* pa = reinterpret_cast<const unsigned char*>(a != nullptr ? a : "");
    const unsigned char* pb = reinterpret_cast<const unsigned char*>(b != nullptr ? b : "");
    for (;;) {
        if (*pa == 0) {
            return *pb != 0 ? -1 : 0;
        }
        if (*pb == 0) {
            return 1;
        }
        if (IsDigit(*pa) && IsDigit(*pb)) {
            const int32_t va = ReadDigitRun(pa);
            const int32_t vb = ReadDigitRun(pb);
            // Only the sign: the plain difference of two wrapped values can overflow and
            // flip, which would make the order inconsistent.
            if (va != vb) {
                return va < vb ? -1 : 1;
            }
            continue;
        }
        const int fa = FoldCase(*pa);
        const int fb = FoldCase(*pb);
        if (fa != fb) {
            return fa - fb;
        }
        ++pa;
        ++pb;
    }
}

int NaturalCompare(const Tessel::String& a, const Tessel::String& b) {
    return NaturalCompare(a.CStr(), b.CStr());
}
