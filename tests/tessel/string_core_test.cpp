#include "tessel/string_core.h"

#include <gtest/gtest.h>

#include "tessel/string_builder.h"

namespace Tessel {
namespace {

TEST(StringCore, NullAndEmptyAreDistinct) {
    String null;
    String nullFromText(static_cast<const char*>(nullptr));
    String empty("");
    EXPECT_TRUE(null.IsNull());
    EXPECT_TRUE(nullFromText.IsNull());
    EXPECT_EQ(null.Text(), nullptr);
    EXPECT_STREQ(null.CStr(), "");
    EXPECT_EQ(null.Length(), 0);
    EXPECT_FALSE(empty.IsNull());
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_TRUE(null.IsEmpty());
    EXPECT_STREQ(empty.Text(), "");
    EXPECT_TRUE(null == nullFromText);
    EXPECT_FALSE(null == empty);
    EXPECT_FALSE(empty == null);
}

TEST(StringCore, CopiesShareTheBlockAndOutliveTheOriginal) {
    String copy;
    const char* shared;
    {
        String original("capture");
        copy = original;
        shared = original.Text();
        EXPECT_EQ(copy.Text(), shared);
        String moved(std::move(original));
        EXPECT_TRUE(original.IsNull());
        EXPECT_EQ(moved.Text(), shared);
    }
    EXPECT_EQ(copy.Text(), shared);
    EXPECT_STREQ(copy.CStr(), "capture");
    const String& alias = copy;
    copy = alias;  // assigning a string to itself keeps the block alive
    EXPECT_STREQ(copy.CStr(), "capture");
    copy.Release();
    EXPECT_TRUE(copy.IsNull());
}

TEST(StringCore, LengthStopsAtTheGivenCountOrTheTerminator) {
    EXPECT_EQ(String("abcdef", 3), String("abc"));
    EXPECT_EQ(String("abc", -1).Length(), 3);
    WString wide(u"\u00e9t\u00e9");
    EXPECT_EQ(wide.Length(), 3);
    EXPECT_EQ(wide.Text()[3], 0);
}

TEST(StringCore, AssignMayTakeItsOwnText) {
    String text("history");
    const char* own = text.Text();
    ASSERT_NE(own, nullptr);
    text.Assign(own + 2, 3);
    EXPECT_STREQ(text.CStr(), "sto");
    text.Assign(nullptr);
    EXPECT_TRUE(text.IsNull());
}

TEST(StringCore, EqualityComparesEveryUnit) {
    EXPECT_TRUE(String("a\0b", 3) == String("a\0b", 3));
    EXPECT_FALSE(String("a\0b", 3) == String("a\0c", 3));
    EXPECT_FALSE(String("ab") == String("abc"));
    EXPECT_FALSE(String("Ab") == String("ab"));
}

TEST(StringCore, SubstringCountsFromTheEndAndClampsTheRange) {
    const String source("0123456789");
    struct Case {
        int start, length;
        const char* expected;
    } cases[] = {
        {-3, -1, "789"}, {2, 3, "234"},  {0, -1, "0123456789"}, {8, 5, "89"},
        {12, 2, ""},     {-20, 2, "01"}, {10, -1, ""},          {4, 0, ""},
    };
    for (const Case& c : cases) {
        const String part = source.Substring(c.start, c.length);
        EXPECT_FALSE(part.IsNull()) << c.start << "," << c.length;
        EXPECT_STREQ(part.CStr(), c.expected) << c.start << "," << c.length;
    }
    EXPECT_TRUE(String().Substring(0, 2).IsNull());
}

TEST(StringBuilder, StaysInlineUpTo128UnitsThenDoublesOnTheHeap) {
    StringBuilder<char> builder;
    const char* inlineData = builder.Data();
    for (int i = 0; i < 128; ++i) {
        builder.Write('a');
    }
    EXPECT_EQ(builder.Data(), inlineData);
    EXPECT_EQ(builder.Capacity(), 128);
    for (int i = 128; i < 200; ++i) {
        builder.Write(static_cast<char>('a' + i % 26));
    }
    EXPECT_NE(builder.Data(), inlineData);
    EXPECT_EQ(builder.Capacity(), 256);
    EXPECT_EQ(builder.Length(), 200);
    const String text = builder.ToString();
    EXPECT_EQ(text.Length(), 200);
    EXPECT_EQ(text.Text()[199], static_cast<char>('a' + 199 % 26));
    builder.Reserve(1000);
    EXPECT_EQ(builder.Capacity(), 2048);
}

TEST(StringBuilder, ToStringEndsAtTheFirstZeroAndTheBuilderGoesOn) {
    StringBuilder<char16_t> builder;
    EXPECT_FALSE(builder.ToString().IsNull());
    EXPECT_EQ(builder.ToString().Length(), 0);
    builder.Append(u"ab");
    EXPECT_EQ(builder.ToString(), WString(u"ab"));
    builder.Append(WString(u"cd"));
    EXPECT_EQ(builder.ToString(), WString(u"abcd"));
    builder.Write(0);
    builder.Append(u"ef", 1);
    EXPECT_EQ(builder.Length(), 6);
    EXPECT_EQ(builder.ToString(), WString(u"abcd"));
    builder.Append(nullptr);
    builder.Append(WString());
    EXPECT_EQ(builder.Length(), 6);
}

TEST(StringBuilder, AFailedGrowthGivesNullInsteadOfACutText) {
    StringBuilder<char16_t> builder;
    builder.Append(u"ab");
    EXPECT_EQ(builder.Reserve(0x40000000), nullptr);
    builder.Write(u'c');
    EXPECT_EQ(builder.Length(), 2);
    EXPECT_TRUE(builder.ToString().IsNull());
}

}  // namespace
}  // namespace Tessel
