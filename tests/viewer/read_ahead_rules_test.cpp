#include "viewer/read_ahead_rules.h"

#include <gtest/gtest.h>

TEST(ReadAheadRules, AtMostOneImageBesideTheShownOne) {
    struct Case {
        int32_t held, reading, adding, dropped;
    } cases[] = {{0, 0, 1, 0}, {1, 0, 1, 1}, {1, 0, 0, 0},
                 {1, 1, 0, 1}, {1, 1, 1, 1}, {0, 1, 1, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(HeldImagesToDrop(c.held, c.reading, c.adding), c.dropped)
            << c.held << " " << c.reading << " " << c.adding;
    }
}

TEST(ReadAheadRules, AHeldImageStandsForItsFileUntilTheFileChanges) {
    const FileStamp read{true, 5000, 777};
    struct Case {
        FileStamp now;
        bool current;
    } cases[] = {{{true, 5000, 777}, true},
                 {{true, 5001, 777}, false},  // rewritten, longer
                 {{true, 5000, 778}, false},  // rewritten, same length
                 {{false, 0, 0}, false}};     // deleted
    for (const Case& c : cases) {
        EXPECT_EQ(HeldImageCurrent(read, c.now), c.current) << c.now.size << " " << c.now.writeTime;
    }
    // A file that was not there when it was read gives no image to stand for anything.
    EXPECT_FALSE(HeldImageCurrent(FileStamp{}, FileStamp{}));
}
