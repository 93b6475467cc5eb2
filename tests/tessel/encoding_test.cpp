#include "tessel/encoding.h"

#include <gtest/gtest.h>

#include <string>

#include "tessel/string_builder.h"

namespace Tessel {
namespace {

std::u16string Units(const WString& text) {
    return std::u16string(text.CStr(), text.Length());
}
std::string Bytes(const String& text) {
    return std::string(text.CStr(), text.Length());
}

TEST(Encoding, MissingTextGivesNullAndEmptyGivesEmpty) {
    EXPECT_TRUE(Utf8ToWide(nullptr).IsNull());
    EXPECT_TRUE(WideToUtf8(nullptr).IsNull());
    EXPECT_FALSE(Utf8ToWide("").IsNull());
    EXPECT_EQ(Utf8ToWide("").Length(), 0);
    EXPECT_FALSE(WideToUtf8(u"").IsNull());
    EXPECT_EQ(WideToUtf8(u"").Length(), 0);
}

TEST(Encoding, Utf8ToWideDecodesLenientlyAndDropsWhatCannotBeDecoded) {
    struct Case {
        const char* bytes;
        std::u16string expected;
    } cases[] = {
        {"plain", u"plain"},
        {"\xC3\xA9", u"\u00E9"},
        {"\xE2\x82\xAC", u"\u20AC"},
        {"\xF0\x9F\x98\x80", u"\xD83D\xDE00"},
        {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
        {"a\x80z", u"az"},  // stray continuation byte
        {"a\xF8\xFF"
         "b",
         u"ab"},                // bytes that start nothing
        {"x\xE2\x82", u"x"},    // incomplete at the end
        {"\xC0\x80tail", u""},  // overlong zero ends the text
        {"\xC3"
         "A",
         u"\u00C1"},                            // continuation not checked
        {"\xE0\x81\x81", u"\x0041"},            // overlong accepted
        {"\xED\xA0\x80", u"\xD800"},            // encoded surrogate passes through
        {"\xF7\xBF\xBF\xBF", u"\xDBBF\xDFFF"},  // beyond U+10FFFF keeps the low bits
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Units(Utf8ToWide(c.bytes)), c.expected) << c.bytes;
    }
}

TEST(Encoding, WideToUtf8PairsSurrogatesAndKeepsLoneOnesDefined) {
    struct Case {
        std::u16string units;
        std::string expected;
    } cases[] = {
        {u"plain", "plain"},
        {u"\u00E9", "\xC3\xA9"},
        {u"\u07FF\u0800", "\xDF\xBF\xE0\xA0\x80"},
        {u"\xFFFF", "\xEF\xBF\xBF"},
        {u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
        {u"\xD83Dx", "x"},                            // high surrogate then ordinary unit
        {u"\xD800\xD83D\xDE00", "\xF0\x9F\x98\x80"},  // a later high surrogate replaces
        {u"\xDC00", "\xF0\x90\x80\x80"},              // lone low surrogate: U+10000
        {u"\xDFFF", "\xF0\x90\x8F\xBF"},              // ... up to U+103FF
        {u"\xD83D", ""},                              // pending at the end is dropped
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Bytes(WideToUtf8(c.units.c_str())), c.expected);
    }
}

TEST(Encoding, EveryScalarValueRoundTrips) {
    StringBuilder<char16_t> wide;
    for (char32_t point = 1; point <= 0x10FFFF; point += (point < 0x800 ? 1 : 97)) {
        if (point >= 0xD800 && point <= 0xDFFF) {
            continue;
        }
        Encoding<char, char16_t>(&wide).Write(point);
    }
    const WString original = wide.ToString();
    const String utf8 = WideToUtf8(original.Text());
    EXPECT_EQ(Utf8ToWide(utf8.Text()), original);
}

TEST(Encoding, DecoderKeepsItsStateAcrossUnitsFedOneAtATime) {
    StringBuilder<char16_t> target;
    Encoding<char, char16_t> decoder(&target);
    for (char byte : std::string("\xF0\x9F\x98\x80\xC3\xA9")) {
        decoder.Decode(byte);
    }
    EXPECT_EQ(Units(target.ToString()), u"\xD83D\xDE00\u00E9");
}

}  // namespace
}  // namespace Tessel
