#include "win/path_text.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

namespace {

std::string Str(const Tessel::String& s) {
    return std::string(s.CStr(), static_cast<size_t>(s.Length()));
}

TEST(JoinPath, InsertsExactlyOneSeparator) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
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
    for (const auto& [first, second, expected] : cases) {
        EXPECT_EQ(Str(JoinPath(Tessel::String(first), Tessel::String(second))), expected)
            << first << " + " << second;
    }
}

TEST(PathText, FileNameIsAfterTheLastSeparatorAndExtensionFromItsLastDot) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"C:\\Pics\\Glimpser 1.png", "Glimpser 1.png", ".png"},
        {"mixed\\sep/a.tar.gz", "a.tar.gz", ".gz"},
        {"C:/my.folder/name", "name", ""},
        {"C:\\Pics\\.hidden", ".hidden", ".hidden"},
        {"name.", "name.", "."},
        {"dir.d/", "", ""},
        {"", "", ""},
    };
    for (const auto& [path, name, extension] : cases) {
        EXPECT_EQ(Str(GetFileNamePart(Tessel::String(path))), name) << path;
        EXPECT_EQ(Str(GetExtension(Tessel::String(path))), extension) << path;
    }
}

TEST(PathText, RootIsTheDriveOrShareAFullPathLiesOn) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Pics\\a.png", "C:\\"},
        {"q:", "q:\\"},
        {"\\\\server\\share\\Pics", "\\\\server\\share\\"},
        {"//server/share", "//server/share\\"},
        {"\\\\server\\", ""},
        {"\\\\\\share", ""},
        {"\\Pics", ""},
        {"Pics\\a.png", ""},
        {"1:\\Pics", ""},
        {"", ""},
    };
    for (const auto& [path, root] : cases) {
        EXPECT_EQ(Str(GetPathRoot(Tessel::String(path))), root) << path;
    }
}

}  // namespace
