#include "history/path_text.h"

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
        {"C:\\Pics", "\\a.png", "C:\\Pics\\a.png"},
        {"C:\\Pics\\", "\\a.png", "C:\\Pics\\a.png"},
        {"C:\\Pics", "\\\\server\\a", "C:\\Pics\\\\server\\a"},
        {"C:\\Pics", "D:\\Archive", "C:\\Pics\\D:\\Archive"},
        {"", "a.png", "a.png"},
        {"C:\\Pics", "", "C:\\Pics"},
        {"", "", ""},
        {"\\", "\\", "\\"},
        {"a", "/", "a\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Str(JoinPath(Tessel::String(c.first), Tessel::String(c.second))), c.expected)
            << c.first << " + " << c.second;
    }
    EXPECT_EQ(Str(JoinPath(Tessel::String(), Tessel::String("x"))), "x");
    EXPECT_EQ(Str(JoinPath(Tessel::String("x"), Tessel::String())), "x");
}

TEST(GetFileNamePart, TakesTextAfterLastSeparator) {
    const struct {
        const char *path, *expected;
    } cases[] = {
        {"C:\\Pics\\Glimpser 1.png", "Glimpser 1.png"},
        {"C:/Pics/a.b/c", "c"},
        {"mixed\\sep/name", "name"},
        {"name.png", "name.png"},
        {"C:\\Pics\\", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Str(GetFileNamePart(Tessel::String(c.path))), c.expected) << c.path;
    }
    EXPECT_TRUE(GetFileNamePart(Tessel::String()).IsEmpty());
}

TEST(GetExtension, TakesLastDotOfTheName) {
    const struct {
        const char *path, *expected;
    } cases[] = {
        {"C:\\Pics\\a.png", ".png"},
        {"a.tar.gz", ".gz"},
        {"C:\\my.folder\\name", ""},
        {"C:/my.folder/name", ""},
        {"C:\\Pics\\.hidden", ".hidden"},
        {"name.", "."},
        {"noext", ""},
        {"", ""},
        {"dir.d/", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Str(GetExtension(Tessel::String(c.path))), c.expected) << c.path;
    }
}

}  // namespace
