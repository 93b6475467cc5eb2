#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/run_mode_rules.h"
#include "capture/include_cursor.h"
#include "win/split_command_line.h"

namespace {

int registrations = 0;

TEST(SplitCommandLine, FollowsQuotingRules) {
    const struct {
        const char* text;
        std::vector<std::string> expected;
    } cases[] = {
        {nullptr, {}},
        {" \t\r\n\v\f ", {}},
        {"  a\t\tb  ", {"a", "b"}},
        {"a\"\"b", {"a\"b"}},
        {"\"a b\"", {"a b"}},
        {"a \"", {"a"}},
        {"\"\" x", {"\"", "x"}},
        {"\"unterminated quote", {"unterminated quote"}},
        {"C:\\path\\ \"x\\\" y\"", {"C:\\path\\", "x\\", "y"}},
        {"\xC3\xA9\xC2\xA0x", {"\xC3\xA9\xC2\xA0x"}},
    };
    for (const auto& c : cases) {
        const Tessel::List<Tessel::String> arguments = SplitCommandLine(c.text);
        std::vector<std::string> split;
        for (int i = 0; i < arguments.Count(); ++i) {
            split.emplace_back(arguments[i].CStr(), static_cast<size_t>(arguments[i].Length()));
        }
        EXPECT_EQ(split, c.expected) << (c.text ? c.text : "(null)");
    }
}

// The first argument is the program path and is never read as a switch.
TEST(ScanArguments, ReadsSwitchesAndChoosesTheMode) {
    const struct {
        const char* commandLine;
        bool captureGiven, sameRegion;
        int32_t delayMs;
        RunMode mode;
        int registrations;
    } cases[] = {
        {"/tray", false, false, 0, RunMode::CaptureThenView, 0},
        {"g /capture:Same", true, true, 0, RunMode::CaptureThenView, 0},
        {"g /capture:", true, false, 0, RunMode::CaptureThenView, 0},
        {"g /capture:same /capture:region", true, false, 0, RunMode::CaptureThenView, 0},
        {"g /capture:region /capture:same", true, true, 0, RunMode::CaptureThenView, 0},
        {"g /delay:5 /DELAY:15", false, false, 15000, RunMode::CaptureThenView, 0},
        {"g /delay:15 /delay:x", false, false, 0, RunMode::CaptureThenView, 0},
        // Negative delays wait nothing; every delay whose milliseconds fit 32 bits is kept, and
        // longer ones are clamped to that, so seconds * 1000 never overflows.
        {"g /delay:-2147483648", false, false, 0, RunMode::CaptureThenView, 0},
        {"g /delay:86401", false, false, 86401000, RunMode::CaptureThenView, 0},
        {"g /delay:2147483", false, false, 2147483000, RunMode::CaptureThenView, 0},
        {"g /delay:2147484", false, false, 2147483000, RunMode::CaptureThenView, 0},
        {"g /trayx tray -tray /open: unknown", false, false, 0, RunMode::CaptureThenView, 0},
        // Only A-Z fold: dotless i and the Kelvin sign do not spell a switch.
        {"g /tr\xC4\xB1y /open\xE2\x84\xAA", false, false, 0, RunMode::CaptureThenView, 0},
        {"g /RunAtStartup /tray /runatstartup", false, false, 0, RunMode::Tray, 2},
        {"g /runatstartupx /runatstartup:", false, false, 0, RunMode::CaptureThenView, 0},
    };
    for (const auto& c : cases) {
        registrations = 0;
        LaunchOptions options;
        ScanArguments(SplitCommandLine(c.commandLine), options, [] { ++registrations; });
        EXPECT_EQ(options.captureGiven, c.captureGiven) << c.commandLine;
        EXPECT_EQ(options.sameRegion, c.sameRegion) << c.commandLine;
        EXPECT_EQ(options.delayMs, c.delayMs) << c.commandLine;
        EXPECT_EQ(ChooseRunMode(options), c.mode) << c.commandLine;
        EXPECT_EQ(registrations, c.registrations) << c.commandLine;
    }
}

// No end-to-end run would see a pointer drawn into an undelayed capture; the delayed capture
// with and without "IncludeCursor" runs end to end, as does whether a cancelled capture still
// ends in the viewer.
TEST(RunModeRules, AnUndelayedCaptureLeavesThePointerOut) {
    EXPECT_FALSE(CaptureIncludesCursor(0, 1));
}

}  // namespace
