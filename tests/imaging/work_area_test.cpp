#include "imaging/work_area.h"

#include <gtest/gtest.h>

namespace {

TEST(DesktopWorkArea, TakesOffThePrimaryTaskbarOnlyAtOuterEdges) {
    struct Case {
        Rect primaryWork;
        Rect virtualScreen;
        Rect expected;
    };
    // Where the secondary monitor lies and where the primary's taskbar is.
    const Case cases[] = {
        {{0, 0, 1920, 1040}, {0, 0, 3840, 1080}, {0, 0, 3840, 1040}},           // secondary right
        {{0, 0, 1920, 1040}, {0, 0, 3840, 1200}, {0, 0, 3840, 1200}},           // right, taller
        {{0, 0, 1860, 1080}, {-1920, 0, 1920, 1080}, {-1920, 0, 1860, 1080}},   // left; bar right
        {{60, 0, 1920, 1080}, {-1920, 0, 1920, 1080}, {-1920, 0, 1920, 1080}},  // bar left
        {{0, 40, 1920, 1080}, {0, 0, 1920, 2160}, {0, 40, 1920, 2160}},         // below; bar on top
        {{0, 0, 1920, 1040}, {0, 0, 0, 0}, {0, 0, 1920, 1040}},                 // no virtual screen
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        // The primary monitor is 1920 by 1080 at the origin in every case.
        const MonitorArea primary{{0, 0, 1920, 1080}, c.primaryWork};
        EXPECT_EQ(DesktopWorkArea(c.primaryWork, c.virtualScreen, &primary), c.expected);
    }
    // Without monitor information the virtual screen stays whole.
    EXPECT_EQ(DesktopWorkArea({0, 0, 1920, 1040}, {0, 0, 3840, 1080}, nullptr),
              (Rect{0, 0, 3840, 1080}));
}

}  // namespace
