#include "imaging/codec_extensions.h"

#include <gtest/gtest.h>

namespace {

TEST(CodecPatterns, FindTheExtensionInAnyPositionWithoutCase) {
    struct Case {
        const char16_t* patterns;
        const char16_t* extension;
        bool expected;
    };
    const Case cases[] = {
        {u"*.JPG;*.JPEG;*.JPE;*.JFIF", u".jpeg", true},
        {u"*.JPG;*.JPEG;*.JPE;*.JFIF", u".Jfif", true},
        {u"*.JPG;*.JPEG;*.JPE;*.JFIF", u".jp", false},     // a prefix of a pattern
        {u"*.JPG;*.JPEG;*.JPE;*.JFIF", u".jpegs", false},  // longer than every pattern
        {u"*.TIFF;*.TIF", u".tif", true},
        {u"*.PNG", u"", false},
        {u"*.PNG", nullptr, false},
        {nullptr, u".png", false},
        {u"", u".png", false},
        {u"*.BMP;;*.DIB;", u".dib", true},
        {u".PNG", u".png", false},  // no star, no match
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        EXPECT_EQ(CodecPatternsInclude(c.patterns, c.extension), c.expected);
    }
}

}  // namespace
