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

TEST(Encoding, Utf8ToWideDecodesLenientlyAndDropsWhatCannotBeDecoded) {
    struct Case {
        const char* bytes;
        const char16_t* expected;
    } cases[] = {
        {nullptr, nullptr},
        {"", u""},
        {"a\x80z\xF8\xFF!", u"az!"},            // stray continuation, bytes that start nothing
        {"x\xE2\x82", u"x"},                    // incomplete at the end
        {"\xC0\x80tail", u""},                  // overlong zero ends the text
        {"\xC3\x41", u"\u00C1"},                // continuation not checked
        {"\xED\xA0\x80", u"\xD800"},            // encoded surrogate passes through
        {"\xF7\xBF\xBF\xBF", u"\xDBBF\xDFFF"},  // beyond U+10FFFF keeps the low bits
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToWide(c.bytes), WString(c.expected)) << (c.bytes ? c.bytes : "null");
    }
}

TEST(Encoding, WideToUtf8PairsSurrogatesAndKeepsLoneOnesDefined) {
    struct Case {
        const char16_t* units;
        const char* expected;
    } cases[] = {
        {nullptr, nullptr},
        {u"", ""},
        // A high surrogate is forgotten at an ordinary unit; a lone low one pairs with zero.
        {u"\xD83Dx\xDFFF", "x\xF0\x90\x8F\xBF"},
        // A later high surrogate replaces the pending one, which is forgotten once paired.
        {u"\xD800\xD83D\xDE00\xDC00", "\xF0\x9F\x98\x80\xF0\x90\x80\x80"},
        {u"\xD83D", ""},  // pending at the end is dropped
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WideToUtf8(c.units), String(c.expected)) << (c.expected ? c.expected : "null");
    }
}

TEST(Encoding, EveryScalarValueRoundTrips) {
    StringBuilder<char16_t> wide;
    for (char32_t point = 1; point <= 0x10FFFF; point += (point < 0x800 ? 1 : 97)) {
        if (point < 0xD800 || point > 0xDFFF) {
            Encoding<char, char16_t>(&wide).Write(point);
        }
    }
    const WString original = wide.ToString();
    EXPECT_EQ(Utf8ToWide(WideToUtf8(original.Text()).Text()), original);
}

}  // namespace
}  // namespace Tessel
