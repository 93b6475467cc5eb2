#include "tessel/string_core.h"

#include <gtest/gtest.h>

#include <string>

#include "tessel/encoding.h"
#include "tessel/string_builder.h"

namespace Tessel {
namespace {

TEST(StringCore, NullEmptyAndEqualityAreDistinct) {
    const String null(static_cast<const char*>(nullptr));
    EXPECT_TRUE(null.IsNull() && null.IsEmpty() && null.Text() == nullptr);
    EXPECT_STREQ(null.CStr(), "");
    EXPECT_TRUE(null == String());
    EXPECT_FALSE(null == String("") || String("") == null || String("").IsNull());
    EXPECT_TRUE(String("a\0b", 3) == String("a\0b", 3));
    EXPECT_FALSE(String("a\0b", 3) == String("a\0c", 3) || String("Ab") == String("ab"));
    EXPECT_EQ(String("abcdef", 3), String("abc"));
}

TEST(StringCore, CopiesShareTheBlockAndOutliveTheOriginal) {
    String copy;
    {
        String original("capture");
        copy = original;
        String moved(std::move(original));
        EXPECT_TRUE(original.IsNull());
        EXPECT_EQ(moved.Text(), copy.Text());
    }
    EXPECT_STREQ(copy.CStr(), "capture");
    const String& alias = copy;
    copy = alias;
    // The new block is made before the old one goes, so a string may take its own text.
    copy.Assign(copy.Text() + 2, 3);
    EXPECT_STREQ(copy.CStr(), "ptu");
}

TEST(StringCore, SubstringCountsFromTheEndAndClampsTheRange) {
    const String source("0123456789");
    EXPECT_EQ(source.Substring(-3, -1), String("789"));
    EXPECT_EQ(source.Substring(8, 5), String("89"));
    EXPECT_EQ(source.Substring(-20, 2), String("01"));
    EXPECT_EQ(source.Substring(12, 2), String(""));
    EXPECT_TRUE(String().Substring(0, 2).IsNull());
}

TEST(StringBuilder, StaysInlineUpTo128UnitsThenDoublesAndFailsToNullNotACutText) {
    StringBuilder<char> builder;
    const char* inlineData = builder.Data();
    builder.Append(std::string(128, 'a').c_str());
    EXPECT_EQ(builder.Data(), inlineData);
    builder.Append(String("bc"));
    builder.Append(nullptr);
    EXPECT_EQ(builder.Capacity(), 256);
    EXPECT_EQ(builder.ToString(), String((std::string(128, 'a') + "bc").c_str()));
    builder.Write(0);
    builder.Append("de", 1);
    EXPECT_EQ(builder.ToString().Length(), 130);  // the text ends at the first zero
    builder.Reserve(1000);
    EXPECT_EQ(builder.Capacity(), 2048);
    EXPECT_EQ(builder.Reserve(0x7FFFFFFF), nullptr);
    builder.Write('c');
    EXPECT_EQ(builder.Length(), 1132);
    EXPECT_TRUE(builder.ToString().IsNull());
}

// Well-formed text converts both ways; malformed text converts leniently and never fails.
TEST(Encoding, ConvertsTheEdgesOfEachLengthAndMalformedTextDefinedly) {
    enum Direction { kBoth, kToWide, kToUtf8 };
    struct Case {
        const char* bytes;
        const char16_t* units;
        Direction direction;
    } cases[] = {
        {nullptr, nullptr, kBoth},
        {"", u"", kBoth},
        {"\x01\x7F\xC2\x80\xDF\xBF", u"\x01\x7F\x80\x7FF", kBoth},
        {"\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF", u"\x800\xD7FF\xE000\xFFFF", kBoth},
        {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", u"\xD800\xDC00\xDBFF\xDFFF", kBoth},
        {"a\x80z\xF8\xFF!", u"az!", kToWide},  // stray continuation, bytes that start nothing
        {"x\xE2\x82", u"x", kToWide},          // incomplete at the end
        {"\xC0\x80tail", u"", kToWide},        // overlong zero ends the text
        {"\xC3\x41", u"\u00C1", kToWide},      // continuation not checked
        {"\xED\xA0\x80", u"\xD800", kToWide},  // encoded surrogate passes through
        {"\xF7\xBF\xBF\xBF", u"\xDBBF\xDFFF", kToWide},  // beyond U+10FFFF keeps the low bits
        // A high surrogate is forgotten at an ordinary unit; a lone low one pairs with zero.
        {"x\xF0\x90\x8F\xBF", u"\xD83Dx\xDFFF", kToUtf8},
        // A later high surrogate replaces the pending one, which is forgotten once paired.
        {"\xF0\x9F\x98\x80\xF0\x90\x80\x80", u"\xD800\xD83D\xDE00\xDC00", kToUtf8},
        {"", u"\xD83D", kToUtf8},  // pending at the end is dropped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes ? c.bytes : "null");
        if (c.direction != kToUtf8) {
            EXPECT_EQ(Utf8ToWide(c.bytes), WString(c.units));
        }
        if (c.direction != kToWide) {
            EXPECT_EQ(WideToUtf8(c.units), String(c.bytes));
        }
    }
}

}  // namespace
}  // namespace Tessel
