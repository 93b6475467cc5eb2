#include "viewer/command_rules.h"

#include <gtest/gtest.h>

#include "win/command_ids.h"

TEST(CommandRules, SmoothCheckMarkFollowsThePaintedMode) {
    EXPECT_EQ(CheckedSmoothCommand(2), ID_SMOOTH_AUTOMATIC);
    // Stored by hand: painted like Disabled, so it must not check "Next" (32775 + 7).
    EXPECT_EQ(CheckedSmoothCommand(7), ID_SMOOTH_DISABLED);
}

TEST(CommandRules, OpenWithIdsNameListedEntriesOnly) {
    EXPECT_EQ(OpenWithIndex(1002, 3), 2);
    EXPECT_EQ(OpenWithIndex(1003, 3), -1);
    EXPECT_EQ(OpenWithIndex(999, 500), -1);
    // Ids are 16 bits: entries past 65535 get no item rather than another entry's id.
    EXPECT_EQ(OpenWithMenuItemCount(70000), 0x10000 - 1000);
}
