#include "tessel/format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tessel/format_string_writer.h"
#include "tessel/string_builder.h"

namespace Tessel {
namespace {

std::string Text(const String& text) {
    return std::string(text.CStr(), text.Length());
}

TEST(Format, IntegersFollowTheEngineRules) {
    struct Case {
        std::string actual, expected;
    } cases[] = {
        {Text(Format("%i,%i,%i,%i", 10, 20, 310, 220)), "10,20,310,220"},
        {Text(Format("%i,%i,%i,%i", -5, 20, 310, 220)), "-5,20,310,220"},
        {Text(Format("%04X%04X", 1033, 1200)), "040904B0"},
        {Text(Format("%05d", -42)), "-0042"},
        {Text(Format("%+05d", 42)), "+0042"},
        {Text(Format("% 05d", 42)), " 0042"},
        {Text(Format("%-5d|", 42)), "42   |"},
        {Text(Format("%5.3d", 7)), "  007"},
        {Text(Format("%+5.3d", 7)), " +007"},
        {Text(Format("%.0d", 0)), "0"},
        {Text(Format("%#x", 255)), "0xff"},
        {Text(Format("%#08x", 255)), "0x000000ff"},
        {Text(Format("%#X", 255)), "0XFF"},
        {Text(Format("%#o", 0)), "00"},
        {Text(Format("%#o", 8)), "010"},
        {Text(Format("%o", 8)), "10"},
        {Text(Format("%*d", -4, 7)), "7"},
        {Text(Format("%*d", 4, 7)), "   7"},
        {Text(Format("%.*d", 3, 7)), "007"},
        {Text(Format("%hd", 5)), "d"},
        {Text(Format("100%%")), "100%"},
        {Text(Format("%u", 4294967295u)), "4294967295"},
        {Text(Format("%d", INT32_MIN)), "-2147483648"},
        {Text(Format("%lld", INT64_MIN)), "-9223372036854775808"},
        {Text(Format("%lli", INT64_MAX)), "9223372036854775807"},
        {Text(Format("%zu", UINT64_MAX)), "18446744073709551615"},
        {Text(Format("%llo", UINT64_MAX)), "1777777777777777777777"},
        {Text(Format("%ld", -1)), "-1"},
        {Text(Format("%+u %+x", 1u, 1u)), "1 1"},
        {Text(Format("% +d %+ d", 1, 1)), "+1 +1"},
        {Text(Format("%-05d|", 3)), "3    |"},
        {Text(Format("%05.2d", 3)), "   03"},
        {Text(Format("%#d %#u", 5, 5u)), "5 5"},
        {Text(Format("%+d|% d|% d", 0, 42, -42)), "+0| 42|-42"},
        {Text(Format("% 5d|%-+5d|", 42, 42)), "   42|+42  |"},
        {Text(Format("%0*d", -3, 7)), "7"},
        {Text(Format("%x %lx %llx", -1, -1, int64_t{-1})), "ffffffff ffffffff ffffffffffffffff"},
        {Text(Format("%.5x|%8.5X|", 0xab, 0xab)), "000ab|   000AB|"},
        {Text(Format("%p", reinterpret_cast<void*>(0x1234))), "0000000000001234"},
        {Text(Format("%#P", reinterpret_cast<void*>(0xabc))), "0X0000000000000ABC"},
        {Text(Format("%020.3p", reinterpret_cast<void*>(1))), "    0000000000000001"},
        {Text(Format("%-18p|", reinterpret_cast<void*>(1))), "0000000000000001  |"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.actual, c.expected);
    }
}

TEST(Format, TextAndCharacters) {
    struct Case {
        std::string actual, expected;
    } cases[] = {
        {Text(Format("%s", static_cast<const char*>(nullptr))), "(null)"},
        {Text(Format("%.3s", "abcdef")), "abc"},
        {Text(Format("%.0s", "abcdef")), "abcdef"},
        {Text(Format("%.9s", "abcdef")), "abcdef"},
        {Text(Format("%6s", "ab")), "    ab"},
        {Text(Format("%-6s|", "ab")), "ab    |"},
        {Text(Format("%06s", "ab")), "    ab"},
        {Text(Format("\"%s\" %s", "C:\\a b.exe", "x.png")), "\"C:\\a b.exe\" x.png"},
        {Text(Format("Glimpser %i.png", 12)), "Glimpser 12.png"},
        {Text(Format("%c%c", 'o', 0x100 + 'k')), "ok"},
        {Text(Format("%3c|%-3c|", 'a', 'b')), "  a|b  |"},
        {Text(Format("ab%cde", 0)), "ab"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.actual, c.expected);
    }
}

TEST(Format, PrecisionBoundsTheReadOfAnUnterminatedText) {
    const char unterminated[3] = {'a', 'b', 'c'};
    EXPECT_EQ(Text(Format("%.2s|%.3s", unterminated, unterminated)), "ab|abc");
}

TEST(Format, FloatsGoThroughTheRuntimeWithTheEngineWidth) {
    struct Case {
        std::string actual, expected;
    } cases[] = {
        {Text(Format("%f", 1.5)), "1.500000"},         {Text(Format("%.2f", 3.14159)), "3.14"},
        {Text(Format("%+.1f", 2.0)), "+2.0"},          {Text(Format("% .1f", 2.0)), " 2.0"},
        {Text(Format("%8.2f|", -1.0)), "   -1.00|"},   {Text(Format("%-8.2f|", 1.0)), "1.00    |"},
        {Text(Format("%08.2f", 1.0)), "    1.00"},     {Text(Format("%g", 0.0001)), "0.0001"},
        {Text(Format("%.3g", 1234567.0)), "1.23e+06"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.actual, c.expected);
    }
}

TEST(Format, HugeFloatTextIsCutAt511Characters) {
    const String text = Format("%.600f", 1e300);
    EXPECT_EQ(text.Length(), 511);
    EXPECT_EQ(Text(text).substr(0, 4), "1000");
}

// Arguments handed out in order, each recorded, so a test sees what a format consumed.
class RecordingArguments final : public IFormatArguments {
public:
    int32_t NextInt32() override { return Take('i', 7); }
    int64_t NextInt64() override { return Take('l', 9); }
    double NextDouble() override { return Take('f', 1); }
    const char* NextText() override {
        Take('s', 0);
        return "t";
    }
    uint64_t NextPointer() override { return Take('p', 255); }

    std::string taken;

private:
    int Take(char kind, int value) {
        taken += kind;
        return value;
    }
};

struct Outcome {
    std::string text, taken;
};

Outcome FormatRecorded(const char* format) {
    StringBuilder<char> builder;
    FormatStringWriter<char> writer(&builder);
    RecordingArguments args;
    FormatTo(writer, format, args);
    return {Text(builder.ToString()), args.taken};
}

TEST(Format, EachConversionTakesOneArgumentOfItsKind) {
    struct Case {
        const char* format;
        const char* text;
        const char* taken;
    } cases[] = {
        {"%d %u %x %o %c", "7 7 7 7 \x07", "iiiii"},
        {"%lld %zu %llzx %lu", "9 9 9 7", "llli"},
        {"%s %p %g", "t 00000000000000ff 1", "spf"},
        {"%*.*d", "0000007", "iii"},
        {"%ll", "", ""},
        {"%q%k%hd", "d", ""},  // unknown characters end their specification silently
        {"%5%|", "|", ""},
    };
    for (const Case& c : cases) {
        const Outcome outcome = FormatRecorded(c.format);
        EXPECT_EQ(outcome.text, c.text) << c.format;
        EXPECT_EQ(outcome.taken, c.taken) << c.format;
    }
}

TEST(Format, TextEndingInsideASpecificationStopsThere) {
    struct Case {
        const char* format;
        const char* text;
        const char* taken;
    } cases[] = {
        {"abc%", "abc", ""},   {"abc%-+ #", "abc", ""},  {"abc%0", "abc", ""},
        {"abc%12", "abc", ""}, {"abc%.", "abc", ""},     {"abc%.5", "abc", ""},
        {"abc%l", "abc", ""},  {"abc%ll", "abc", ""},    {"abc%llz", "abc", ""},
        {"abc%*", "abc", "i"}, {"abc%*.*", "abc", "ii"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = FormatRecorded(c.format);
        EXPECT_EQ(outcome.text, c.text) << c.format;
        EXPECT_EQ(outcome.taken, c.taken) << c.format;
    }
}

TEST(Format, OverlongDigitRunsSaturateInsteadOfOverflowing) {
    const Outcome outcome = FormatRecorded("%99999999999999999999.99999999999999999999q|");
    EXPECT_EQ(outcome.text, "|");
    EXPECT_EQ(outcome.taken, "");
}

TEST(Format, MissingFormatGivesNull) {
    EXPECT_TRUE(Format(nullptr).IsNull());
    EXPECT_FALSE(Format("").IsNull());
}

}  // namespace
}  // namespace Tessel
