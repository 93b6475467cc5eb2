#include "tessel/format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace Tessel {
namespace {

template <class... Args>
std::string F(const char* format, Args... args) {
    const String text = Format(format, args...);
    return std::string(text.CStr(), text.Length());
}

void* P(uintptr_t value) {
    return reinterpret_cast<void*>(value);
}

TEST(Format, EveryConversionFollowsTheEngineRules) {
    struct Case {
        std::string actual, expected;
    } cases[] = {
        {F("%05d|%-05d|", -42, 3), "-0042|3    |"},
        {F("% +d %+ d %.0d", 1, 1, 0), "+1 +1 0"},
        {F("%+5.3d|%05.2d", 7, 3), " +007|   03"},
        {F("%#x %#X %#o %#o %#08x", 255, 255, 0, 8, 255), "0xff 0XFF 00 010 0x000000ff"},
        {F("%*d|%0*d|%.*d", -4, 7, -3, 7, 3, 7), "7|7|007"},
        {F("%hd %q%d 100%%", 5), "d 5 100%"},  // unknown characters end their conversion silently
        {F("%u %d", 4294967295u, INT32_MIN), "4294967295 -2147483648"},
        {F("%lld %zu", INT64_MIN, UINT64_MAX), "-9223372036854775808 18446744073709551615"},
        {F("%llo", UINT64_MAX), "1777777777777777777777"},
        {F("%x %lx %llx", -1, -1, int64_t{-1}), "ffffffff ffffffff ffffffffffffffff"},
        {F("%+u %+x %#d %8.5X|", 1u, 1u, 5, 0xab), "1 1 5    000AB|"},
        {F("%p %#P", P(0x1234), P(0xabc)), "0000000000001234 0X0000000000000ABC"},
        {F("%020.3p|%-18p|", P(1), P(1)), "    0000000000000001|0000000000000001  |"},
        {F("%99999999999999999999.99999999999999999999q|"), "|"},  // digit runs saturate
        {F("%s|%.3s|%.0s", static_cast<const char*>(nullptr), "abcdef", "ab"), "(null)|abc|ab"},
        {F("%6s|%-6s|%06s", "ab", "ab", "ab"), "    ab|ab    |    ab"},
        {F("%c%c|%3c|%-3c|%cde", 'o', 0x100 + 'k', 'a', 'b', 0), "ok|  a|b  |"},
        {F("%f|%.2f|%+.1f|% .1f", 1.5, 3.14159, 2.0, 2.0), "1.500000|3.14|+2.0| 2.0"},
        {F("%8.2f|%-8.2f|%08.2f", -1.0, 1.0, 1.0), "   -1.00|1.00    |    1.00"},
        {F("%g|%.3g", 0.0001, 1234567.0), "0.0001|1.23e+06"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.actual, c.expected);
    }
}

TEST(Format, ReadsAreBoundedByPrecisionAndTheFloatBuffer) {
    const char unterminated[3] = {'a', 'b', 'c'};
    EXPECT_EQ(F("%.2s|%.3s", unterminated, unterminated), "ab|abc");
    const std::string huge = F("%.600f", 1e300);
    EXPECT_EQ(huge.size(), 511u);
    EXPECT_EQ(huge.substr(0, 4), "1000");
}

TEST(Format, TextEndingInsideAConversionStopsThere) {
    for (const char* format : {"abc%", "abc%-+ #0", "abc%12.", "abc%.5", "abc%*.*", "abc%llz"}) {
        EXPECT_EQ(F(format, 1, 1), "abc") << format;
    }
    EXPECT_TRUE(Format(nullptr).IsNull());
}

}  // namespace
}  // namespace Tessel
