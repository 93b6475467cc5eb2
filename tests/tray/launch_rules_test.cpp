#include "tray/launch_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LaunchRules, RequestsWithinOneSecondOfTheLastLaunchAreDropped) {
    EXPECT_FALSE(IsLaunchDebounced(0, 0));  // nothing launched yet
    EXPECT_TRUE(IsLaunchDebounced(5000, 5999));
    EXPECT_FALSE(IsLaunchDebounced(5000, 6000));
    // The tick counter wrapped between the launch and the request: 999 and 1000 ms later.
    EXPECT_TRUE(IsLaunchDebounced(0xFFFFFF00u, 0x000002E7u));
    EXPECT_FALSE(IsLaunchDebounced(0xFFFFFF00u, 0x000002E8u));
}

// A line that does not fit the 324-unit buffer is refused, never cut; UTF-16 units count.
TEST(LaunchRules, LaunchLineMustFitItsBufferWhole) {
    const struct {
        int pathUnits;
        const char* unit;  // one ASCII letter, or a surrogate pair of two units
        bool fits;
    } cases[] = {
        {315, "a", true},  // + quotes, a space and "/tray": 323 units
        {316, "a", false},
        {315, "\xF0\x9F\x93\xB7", true},
        {317, "\xF0\x9F\x93\xB7", false},
    };
    for (const auto& c : cases) {
        std::string path("C:\\");
        for (int units = 3; units < c.pathUnits; units += c.unit[1] ? 2 : 1) {
            path += c.unit;
        }
        const Tessel::WString line =
            ToLaunchLine(FormatSelfCommand(Tessel::String(path.c_str()), "/tray"));
        EXPECT_EQ(!line.IsNull(), c.fits) << c.pathUnits << " units of " << c.unit;
    }
}

}  // namespace
