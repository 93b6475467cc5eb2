#include "viewer/command_rules.h"

#include <gtest/gtest.h>

#include "app/command_ids.h"

TEST(CommandRules, CaptureCommandsChooseDelayAndRegion) {
    struct Case {
        uint16_t id;
        uint32_t delay;
        bool same;
    } cases[] = {
        {ID_CAPTURE_REGION, 0, false},
        {ID_CAPTURE_REGION_DELAY5, 5000, false},
        {ID_CAPTURE_REGION_DELAY15, 15000, false},
        {ID_CAPTURE_SAME, 0, true},
        {ID_CAPTURE_SAME_DELAY5, 5000, true},
        {ID_CAPTURE_SAME_DELAY15, 15000, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CaptureDelayMs(c.id), c.delay) << c.id;
        EXPECT_EQ(IsSameRegionCapture(c.id), c.same) << c.id;
    }
    EXPECT_FALSE(CaptureIncludesCursor(0, 1));
    EXPECT_TRUE(CaptureIncludesCursor(5000, 1));
    EXPECT_TRUE(CaptureIncludesCursor(15000, -3));
    EXPECT_FALSE(CaptureIncludesCursor(15000, 0));
}

TEST(CommandRules, SmoothCheckMarkFollowsThePaintedMode) {
    EXPECT_EQ(CheckedSmoothCommand(0), ID_SMOOTH_DISABLED);
    EXPECT_EQ(CheckedSmoothCommand(1), ID_SMOOTH_ENABLED);
    EXPECT_EQ(CheckedSmoothCommand(2), ID_SMOOTH_AUTOMATIC);
    // Stored by hand: painted like Disabled, so it must not check "Next" (32775 + 7).
    EXPECT_EQ(CheckedSmoothCommand(7), ID_SMOOTH_DISABLED);
    EXPECT_EQ(CheckedSmoothCommand(INT32_MIN), ID_SMOOTH_DISABLED);
}

TEST(CommandRules, OpenWithIdsNameListedEntriesOnly) {
    EXPECT_EQ(OpenWithIndex(1000, 3), 0);
    EXPECT_EQ(OpenWithIndex(1002, 3), 2);
    EXPECT_EQ(OpenWithIndex(1003, 3), -1);
    EXPECT_EQ(OpenWithIndex(1100, 500), 100);
    EXPECT_EQ(OpenWithIndex(1101, 500), -1);
    EXPECT_EQ(OpenWithIndex(999, 500), -1);
    EXPECT_EQ(OpenWithMenuItemCount(150), 150);
    EXPECT_EQ(OpenWithMenuItemCount(70000), 0x10000 - 1000);
}

TEST(CommandRules, ExplorerCommandQuotesThePath) {
    EXPECT_STREQ(
        ExplorerSelectCommand(Tessel::String("C:\\My Glimpser Images\\Glimpser 3.png")).CStr(),
        "explorer /e,/select,\"C:\\My Glimpser Images\\Glimpser 3.png\"");
    EXPECT_STREQ(ExplorerSelectCommand(Tessel::String()).CStr(), "explorer /e,/select,\"\"");
}
