#include "win/path_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Str(const Tessel::String& s) {
    return std::string(s.CStr(), static_cast<size_t>(s.Length()));
}

TEST(JoinPath, InsertsExactlyOneSeparator) {
    const struct {
        const char *first, *second, *expected;
    } cases[] = {
        {"C:\\Pics\\", "a.png", "C:\\Pics\\a.png"},
        {"C:\\Pics", "a.png", "C:\\Pics\\a.png"},
        {"C:/Pics/", "a.png", "C:/Pics/a.png"},
        {"C:\\Pics", "/a.png", "C:\\Pics\\a.png"},
        {"C:\\Pics\\", "\\a.png", "C:\\Pics\\a.png"},
        {"C:\\Pics", "\\\\server\\a", "C:\\Pics\\\\server\\a"},
        {"C:\\Pics", "D:\\Archive", "C:\\Pics\\D:\\Archive"},
        {"", "a.png", "a.png"},
        {"C:\\Pics", "", "C:\\Pics"},
        {"a", "/", "a\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Str(JoinPath(Tessel::String(c.first), Tessel::String(c.second))), c.expected)
            << c.first << " + " << c.second;
    }
}

TEST(PathText, FileNameIsAfterTheLastSeparatorAndExtensionFromItsLastDot) {
    const struct {
        const char *path, *name, *extension;
    } cases[] = {
        {"C:\\Pics\\Glimpser 1.png", "Glimpser 1.png", ".png"},
        {"mixed\\sep/a.tar.gz", "a.tar.gz", ".gz"},
        {"C:/my.folder/name", "name", ""},
        {"C:\\Pics\\.hidden", ".hidden", ".hidden"},
        {"name.", "name.", "."},
        {"dir.d/", "", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Str(GetFileNamePart(Tessel::String(c.path))), c.name) << c.path;
        EXPECT_EQ(Str(GetExtension(Tessel::String(c.path))), c.extension) << c.path;
    }
}

}  // namespace
