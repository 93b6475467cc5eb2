#include "tray/launch_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "app/command_ids.h"
#include "app/command_line.h"

namespace {

TEST(LaunchRules, EveryCaptureCommandHasItsSwitches) {
    struct Case {
        uint16_t command;
        const char* switches;
    };
    const Case cases[] = {
        {ID_CAPTURE_REGION, "/capture:region"},
        {ID_CAPTURE_REGION_DELAY5, "/capture:region /delay:5"},
        {ID_CAPTURE_REGION_DELAY15, "/capture:region /delay:15"},
        {ID_CAPTURE_SAME, "/capture:same"},
        {ID_CAPTURE_SAME_DELAY5, "/capture:same /delay:5"},
        {ID_CAPTURE_SAME_DELAY15, "/capture:same /delay:15"},
        // Anything else falls back to a plain region capture.
        {0, "/capture:region"},
        {ID_EXIT, "/capture:region"},
        {ID_INCLUDE_CURSOR, "/capture:region"},
        {0xFFFF, "/capture:region"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(CaptureSwitches(c.command), c.switches) << c.command;
    }
}

TEST(LaunchRules, RequestsWithinOneSecondOfTheLastLaunchAreDropped) {
    struct Case {
        uint32_t last;
        uint32_t now;
        bool dropped;
    };
    const Case cases[] = {
        {0, 0, false},  // nothing launched yet: the first request always passes
        {0, 500, false},
        {5000, 5000, true},
        {5000, 5999, true},
        {5000, 6000, false},
        {5000, 100000, false},
        // The tick counter wrapped between the launch and the request.
        {0xFFFFFF00u, 0x000002E7u, true},   // 999 ms later
        {0xFFFFFF00u, 0x000002E8u, false},  // 1000 ms later
        {0xFFFFFFFFu, 0x00000000u, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsLaunchDebounced(c.last, c.now), c.dropped) << c.last << " " << c.now;
    }
}

TEST(LaunchRules, QuotedPathWithSpacesStaysOneArgument) {
    const Tessel::String path("C:\\Program Files\\Glimpser Tools\\glimpser.exe");
    const Tessel::String command = FormatSelfCommand(path, "/capture:same /delay:15");
    EXPECT_STREQ(command.CStr(),
                 "\"C:\\Program Files\\Glimpser Tools\\glimpser.exe\" /capture:same /delay:15");
    const Tessel::List<Tessel::String> arguments = SplitCommandLine(command.CStr());
    ASSERT_EQ(arguments.Count(), 3);
    EXPECT_TRUE(arguments[0] == path);
    EXPECT_STREQ(arguments[1].CStr(), "/capture:same");
    EXPECT_STREQ(arguments[2].CStr(), "/delay:15");
}

// A path of `units` UTF-16 units made of `unit` (an ASCII letter or one multi-byte character).
Tessel::String PathOfUnits(int units, const char* unit, int unitsPerChar) {
    std::string text("C:\\");
    for (int n = 3; n < units; n += unitsPerChar) {
        text += unit;
    }
    return Tessel::String(text.c_str());
}

TEST(LaunchRules, LaunchLineMustFitItsBufferWhole) {
    // The longest path Windows gives us with the longest switches always fits.
    const Tessel::WString longest =
        ToLaunchLine(FormatSelfCommand(PathOfUnits(259, "a", 1), "/capture:region /delay:15"));
    ASSERT_FALSE(longest.IsNull());
    EXPECT_EQ(longest.Length(), 259 + 2 + 1 + 25);

    struct Case {
        int pathUnits;
        const char* unit;
        int unitsPerChar;
        bool fits;
    };
    // Quotes and one space add 3 units to the path; "/tray" adds 5 more. 323 units fit.
    const Case cases[] = {
        {315, "a", 1, true},
        {316, "a", 1, false},
        {315, "\xC3\xA9", 1, true},  // two UTF-8 bytes, one unit
        {316, "\xC3\xA9", 1, false},
        {315, "\xF0\x9F\x93\xB7", 2, true},  // four bytes, a surrogate pair
        {317, "\xF0\x9F\x93\xB7", 2, false},
    };
    for (const Case& c : cases) {
        const Tessel::WString line = ToLaunchLine(
            FormatSelfCommand(PathOfUnits(c.pathUnits, c.unit, c.unitsPerChar), "/tray"));
        EXPECT_EQ(!line.IsNull(), c.fits) << c.pathUnits << " units of " << c.unit;
        if (!line.IsNull()) {
            EXPECT_LT(line.Length(), kLaunchLineUnits);
        }
    }
}

}  // namespace
