#include "viewer/command_rules.h"

#include <gtest/gtest.h>

#include "app/command_ids.h"

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
