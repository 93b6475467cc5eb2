#include "app/command_line.h"

#include "app/run_mode_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Split(const char* text) {
    Tessel::List<Tessel::String> arguments = SplitCommandLine(text);
    std::vector<std::string> result;
    for (int i = 0; i < arguments.Count(); ++i) {
        result.emplace_back(arguments[i].CStr(), static_cast<size_t>(arguments[i].Length()));
    }
    return result;
}

int registrations = 0;
void CountRegistration() {
    ++registrations;
}

LaunchOptions Scan(std::vector<const char*> switches) {
    Tessel::List<Tessel::String> arguments;
    arguments.Append(Tessel::String("glimpser.exe"));
    for (const char* text : switches) {
        arguments.Append(Tessel::String(text));
    }
    LaunchOptions options;
    ScanArguments(arguments, options, CountRegistration);
    return options;
}

TEST(SplitCommandLine, FollowsQuotingRules) {
    struct Case {
        const char* text;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"", {}},
        {nullptr, {}},
        {" \t\r\n\v\f ", {}},
        {"a b", {"a", "b"}},
        {"  a\t\tb  ", {"a", "b"}},
        {"a\"\"b", {"a\"b"}},
        {"\"a b\"", {"a b"}},
        {"a\"", {"a"}},
        {"a \"", {"a"}},
        {"\"\"", {"\""}},
        {"\"\" x", {"\"", "x"}},
        {"a\" \"b", {"a b"}},
        {"\"unterminated quote", {"unterminated quote"}},
        {"\"/delay:5 \"", {"/delay:5 "}},
        {"C:\\path\\ \"x\\\" y\"", {"C:\\path\\", "x\\", "y"}},
        {"\"C:\\Program Files\\g.exe\" /tray", {"C:\\Program Files\\g.exe", "/tray"}},
        {"\xC3\xA9\xC2\xA0x", {"\xC3\xA9\xC2\xA0x"}},
        {"a\"\"\"b c\"", {"a\"b c"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Split(c.text), c.expected) << (c.text ? c.text : "(null)");
    }
}

TEST(ScanArguments, RecognisesSwitchesIgnoringAsciiCase) {
    struct Case {
        std::vector<const char*> switches;
        bool tray, open, captureGiven, sameRegion;
        int32_t delayMs;
    };
    const Case cases[] = {
        {{}, false, false, false, false, 0},
        {{"/tray"}, true, false, false, false, 0},
        {{"/TRAY"}, true, false, false, false, 0},
        {{"/Open"}, false, true, false, false, 0},
        {{"/CAPTURE:SAME"}, false, false, true, true, 0},
        {{"/capture:Same"}, false, false, true, true, 0},
        {{"/capture:"}, false, false, true, false, 0},
        {{"/capture:region"}, false, false, true, false, 0},
        {{"/capture:samex"}, false, false, true, false, 0},
        {{"/capture:sam"}, false, false, true, false, 0},
        {{"/capture"}, false, false, false, false, 0},
        {{"/capture:same", "/capture:region"}, false, false, true, false, 0},
        {{"/capture:region", "/capture:same"}, false, false, true, true, 0},
        {{"/delay:5"}, false, false, false, false, 5000},
        {{"/DELAY:15"}, false, false, false, false, 15000},
        {{"/delay:5 "}, false, false, false, false, 5000},
        {{"/delay: 5"}, false, false, false, false, 0},
        {{"/delay:abc"}, false, false, false, false, 0},
        {{"/delay:"}, false, false, false, false, 0},
        {{"/delay:5s"}, false, false, false, false, 0},
        {{"/delay:+7"}, false, false, false, false, 7000},
        {{"/delay:5", "/delay:15"}, false, false, false, false, 15000},
        {{"/delay:15", "/delay:x"}, false, false, false, false, 0},
        {{"/trayx", "tray", "-tray", "/open:", "unknown"}, false, false, false, false, 0},
        // Only A-Z fold: the Kelvin sign and dotless i are not letters of a switch.
        {{"/tr\xC4\xB1y", "/open\xE2\x84\xAA"}, false, false, false, false, 0},
        {{"/tray", "/open", "/capture:same", "/delay:5"}, true, true, true, true, 5000},
    };
    for (const Case& c : cases) {
        const LaunchOptions options = Scan(c.switches);
        std::string label;
        for (const char* s : c.switches) {
            label += std::string(s) + " ";
        }
        EXPECT_EQ(options.tray, c.tray) << label;
        EXPECT_EQ(options.open, c.open) << label;
        EXPECT_EQ(options.captureGiven, c.captureGiven) << label;
        EXPECT_EQ(options.sameRegion, c.sameRegion) << label;
        EXPECT_EQ(options.delayMs, c.delayMs) << label;
    }
}

TEST(ScanArguments, RunAtStartupRegistersAtOnceAndChoosesNoMode) {
    registrations = 0;
    const LaunchOptions alone = Scan({"/runatstartup"});
    EXPECT_EQ(registrations, 1);
    EXPECT_EQ(ChooseRunMode(alone), RunMode::CaptureThenView);
    EXPECT_FALSE(alone.captureGiven);

    registrations = 0;
    const LaunchOptions withTray = Scan({"/RunAtStartup", "/tray", "/runatstartup"});
    EXPECT_EQ(registrations, 2);
    EXPECT_EQ(ChooseRunMode(withTray), RunMode::Tray);

    registrations = 0;
    Scan({"/runatstartupx", "/runatstartup:"});
    EXPECT_EQ(registrations, 0);
}

TEST(ScanArguments, NeverInterpretsTheProgramPath) {
    Tessel::List<Tessel::String> arguments;
    arguments.Append(Tessel::String("/tray"));
    LaunchOptions options;
    ScanArguments(arguments, options, CountRegistration);
    EXPECT_FALSE(options.tray);
}

TEST(ScanArguments, SplitQuotedSwitchKeepsItsTrailingSpace) {
    const Tessel::List<Tessel::String> arguments =
        SplitCommandLine("glimpser.exe \"/delay:5 \" \"/capture:same\"");
    LaunchOptions options;
    ScanArguments(arguments, options, nullptr);
    EXPECT_EQ(options.delayMs, 5000);
    EXPECT_TRUE(options.sameRegion);
}

TEST(DelaySecondsToMs, KeepsTheWaitWithinADay) {
    const struct {
        int32_t seconds, expected;
    } cases[] = {
        {0, 0},
        {5, 5000},
        {-1, 0},
        {-2147483647 - 1, 0},
        {kMaxDelaySeconds, kMaxDelaySeconds * 1000},
        {kMaxDelaySeconds + 1, kMaxDelaySeconds * 1000},
        {2147484, kMaxDelaySeconds * 1000},
        {2147483647, kMaxDelaySeconds * 1000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DelaySecondsToMs(c.seconds), c.expected) << c.seconds;
    }
    EXPECT_EQ(Scan({"/delay:-5"}).delayMs, 0);
    EXPECT_EQ(Scan({"/delay:99999999"}).delayMs, kMaxDelaySeconds * 1000);
}

}  // namespace
