#include "viewer/open_with_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

namespace {

// The one program with version information in these tests.
Tessel::String DescribeKnownPrograms(const Tessel::String& program) {
    const bool known = std::strcmp(program.CStr(), "C:\\Windows\\rundll32.exe") == 0;
    return Tessel::String(known ? "Windows host process (Rundll32)" : nullptr);
}

TEST(OpenWithRules, CommandsAreNamedByDescriptionThenTitleAndFiltered) {
    const std::pair<const char*, const char*> cases[] = {
        // a null name: dropped
        // A described program is kept whatever its title.
        {"C:\\Windows\\rundll32.exe shimgvw.dll,ImageView_Fullscreen %1",
         "Windows host process (Rundll32)"},
        {"C:\\My.Tools\\viewer %1", "viewer"},  // the dot lies before the last separator
        // Without a description, rundll helpers and the remains of unquoted paths go.
        {"C:\\Windows\\System32\\RUNDLL64.exe shimgvw.dll %1", nullptr},
        {"rund %1", "rund"},  // shorter than "rundll": compared whole
        {"C:\\Program Files\\Viewer\\viewer.exe %1", nullptr},
        {"C:\\Programs\\viewer.exe %1", "viewer"},
        {"C:\\Tools\\.hidden %1", nullptr},  // no title to show
        {"   \t ", nullptr},
        {"\"", nullptr},  // a lone quote is no argument
    };
    for (const auto& [command, expected] : cases) {
        Tessel::String name;
        const bool kept = NameOpenWithCommand(Tessel::String(command), DescribeKnownPrograms, name);
        EXPECT_STREQ(kept ? name.CStr() : nullptr, expected) << command;
    }
}

}  // namespace
