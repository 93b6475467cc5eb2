#include "history/open_with_rules.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Programs with version information in these tests; every other program has none.
Tessel::String DescribeKnownPrograms(const Tessel::String& program) {
    if (std::strcmp(program.CStr(), "C:\\Apps\\paint.exe") == 0) {
        return Tessel::String("Paint Program");
    }
    if (std::strcmp(program.CStr(), "C:\\Windows\\rundll32.exe") == 0) {
        return Tessel::String("Windows host process (Rundll32)");
    }
    return Tessel::String();
}

TEST(OpenWithRules, ProgramTitleIsTheFileNameWithoutExtension) {
    struct Case {
        const char* program;
        const char* title;
    };
    const Case cases[] = {
        {"C:\\Tools\\Gimp.exe", "Gimp"},
        {"C:/Tools/gimp-2.10.exe", "gimp-2.10"},
        {"viewer.exe", "viewer"},
        {"viewer", "viewer"},
        {"C:\\My.Tools\\viewer", "viewer"},  // the dot lies before the last separator
        {"C:\\Tools\\.hidden", ""},
        {"C:\\Tools\\", ""},
        {"%ProgramFiles%\\Paint\\mspaint.exe", "mspaint"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(ProgramTitle(Tessel::String(c.program)).CStr(), c.title) << c.program;
    }
}

TEST(OpenWithRules, CommandsAreNamedByDescriptionThenTitleAndFiltered) {
    struct Case {
        const char* command;
        const char* name;  // nullptr: dropped
    };
    const Case cases[] = {
        {"\"C:\\Apps\\paint.exe\" \"%1\"", "Paint Program"},
        {"C:\\Apps\\paint.exe %1", "Paint Program"},
        {"\"C:\\Tools\\Gimp.exe\" \"%1\"", "Gimp"},
        // A described program is kept whatever its title.
        {"C:\\Windows\\rundll32.exe shimgvw.dll,ImageView_Fullscreen %1",
         "Windows host process (Rundll32)"},
        // Without a description, rundll helpers and the remains of unquoted paths go.
        {"C:\\Windows\\System32\\rundll32.exe shimgvw.dll %1", nullptr},
        {"RUNDLL.EXE x %1", nullptr},
        {"RunDll64 %1", nullptr},
        {"rund %1", "rund"},  // shorter than "rundll": compared whole
        {"C:\\Program Files\\Viewer\\viewer.exe %1", nullptr},
        {"c:\\PROGRAM.exe %1", nullptr},
        {"C:\\Programs\\viewer.exe %1", "viewer"},
        {"\"C:\\Program Files\\Viewer\\viewer.exe\" \"%1\"", "viewer"},
        {"%SystemRoot%\\System32\\mspaint.exe \"%1\"", "mspaint"},
        {"C:\\Tools\\ %1", nullptr},  // no title to show
        {"", nullptr},
        {"   \t ", nullptr},
        {"\"", nullptr},  // a lone quote is no argument
    };
    for (const Case& c : cases) {
        Tessel::String name("unchanged");
        const bool kept =
            NameOpenWithCommand(Tessel::String(c.command), DescribeKnownPrograms, name);
        EXPECT_EQ(kept, c.name != nullptr) << c.command;
        if (kept && c.name != nullptr) {
            EXPECT_STREQ(name.CStr(), c.name) << c.command;
        }
    }
}

TEST(OpenWithRules, OpenEditAndPrinttoVerbsAreSkipped) {
    struct Case {
        const char* verb;
        bool skipped;
    };
    const Case cases[] = {
        {"open", true},    {"Open", true},     {"EDIT", true},     {"printto", true},
        {"PrintTo", true}, {"print", false},   {"opennew", false}, {"edit2", false},
        {"", false},       {"preview", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsSkippedVerb(Tessel::String(c.verb)), c.skipped) << c.verb;
    }
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

TEST(OpenWithRules, NamesCompareByteWiseWithAsciiLettersFolded) {
    struct Case {
        const char* a;
        const char* b;
        int order;
    };
    const Case cases[] = {
        {"Gimp", "paint", -1},  // a capital does not sort first
        {"paint", "Gimp", 1},
        {"PAINT", "paint", 0},
        {"Paint", "Paint 3D", -1},
        {"", "a", -1},
        {"_tool", "Atool", -1},  // '_' (0x5F) lies between 'A' and 'a': folding decides
        {"Zeta",
         "\xC3\x89"
         "clair",
         -1},                         // bytes from 0x80 up sort after ASCII
        {"\xC3\xA9", "\xC3\x89", 1},  // no folding beyond A-Z
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(CompareOpenWithNames(Tessel::String(c.a), Tessel::String(c.b))), c.order)
            << c.a << " vs " << c.b;
    }
}

}  // namespace
