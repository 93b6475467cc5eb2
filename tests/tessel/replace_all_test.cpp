#include "tessel/replace_all.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ReplaceAll, ReplacesEveryMatchLeftToRightWithoutRescanning) {
    const struct {
        const char *text, *pattern, *replacement, *expected;
    } cases[] = {
        {"\"app.exe\" \"%1\" /x %1", "%1", "C:\\a b.png",
         "\"app.exe\" \"C:\\a b.png\" /x C:\\a b.png"},
        {"%1", "%1", "", ""},
        {"aaa", "aa", "b", "ba"},
        {"%1%1", "%1", "%1%1", "%1%1%1%1"},
        {"%L %1", "%l", "x", "%L %1"},
        {"text", "", "x", "text"},
        {"tail %", "%1", "x", "tail %"},
    };
    for (const auto& c : cases) {
        const Tessel::String result = ReplaceAll(Tessel::String(c.text), Tessel::String(c.pattern),
                                                 Tessel::String(c.replacement));
        EXPECT_EQ(std::string(result.CStr()), c.expected) << c.text << " / " << c.pattern;
    }
}

}  // namespace
