#include "app/run_mode_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(ChooseRunMode, TrayWinsOverOpenWhichWinsOverCapture) {
    const struct {
        bool tray, open, captureGiven;
        int32_t delayMs;
        RunMode expected;
    } cases[] = {
        {false, false, false, 0, RunMode::CaptureThenView},
        {true, true, false, 0, RunMode::Tray},
        {true, false, true, 5000, RunMode::Tray},
        {false, true, true, 0, RunMode::Viewer},
        {false, true, false, 15000, RunMode::Viewer},
        {false, false, false, 5000, RunMode::CaptureThenView},
        {false, false, true, 0, RunMode::CaptureThenView},
    };
    for (const auto& c : cases) {
        LaunchOptions options;
        options.tray = c.tray;
        options.open = c.open;
        options.captureGiven = c.captureGiven;
        options.delayMs = c.delayMs;
        EXPECT_EQ(ChooseRunMode(options), c.expected)
            << c.tray << c.open << c.captureGiven << " " << c.delayMs;
    }
}

TEST(CaptureIncludesCursor, OnlyDelayedCapturesWithTheSettingOn) {
    const struct {
        int32_t delayMs, setting;
        bool expected;
    } cases[] = {
        {0, 1, false},    {0, 0, false},     {5000, 1, true},
        {5000, 0, false}, {15000, -1, true}, {15000, 2, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CaptureIncludesCursor(c.delayMs, c.setting), c.expected)
            << c.delayMs << " " << c.setting;
    }
}

TEST(ViewerFollowsCapture, OnlyACancelledExplicitCaptureEndsTheProcess) {
    EXPECT_TRUE(ViewerFollowsCapture(false, false));
    EXPECT_TRUE(ViewerFollowsCapture(false, true));
    EXPECT_TRUE(ViewerFollowsCapture(true, false));
    EXPECT_FALSE(ViewerFollowsCapture(true, true));
}

}  // namespace
