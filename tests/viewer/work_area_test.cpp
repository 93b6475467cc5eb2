#include "viewer/work_area.h"

#include <gtest/gtest.h>

namespace {

struct WorkAreaCase {
    const char* name;
    Rect primaryWork;
    Rect virtualScreen;
    bool haveMonitorInfo;
    MonitorArea primary;
    Rect expected;
};

TEST(DesktopWorkArea, TakesOffThePrimaryTaskbarOnlyAtOuterEdges) {
    const WorkAreaCase cases[] = {
        {"one monitor, taskbar at the bottom",
         {0, 0, 1920, 1040},
         {0, 0, 1920, 1080},
         true,
         {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}},
         {0, 0, 1920, 1040}},
        {"secondary right of primary, same height",
         {0, 0, 1920, 1040},
         {0, 0, 3840, 1080},
         true,
         {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}},
         {0, 0, 3840, 1040}},
        {"secondary taller: primary bottom is not the desktop's",
         {0, 0, 1920, 1040},
         {0, 0, 3840, 1200},
         true,
         {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}},
         {0, 0, 3840, 1200}},
        {"secondary left of primary, taskbar on the right",
         {0, 0, 1860, 1080},
         {-1920, 0, 1920, 1080},
         true,
         {{0, 0, 1920, 1080}, {0, 0, 1860, 1080}},
         {-1920, 0, 1860, 1080}},
        {"secondary left, taskbar on the left sits inside the desktop",
         {60, 0, 1920, 1080},
         {-1920, 0, 1920, 1080},
         true,
         {{0, 0, 1920, 1080}, {60, 0, 1920, 1080}},
         {-1920, 0, 1920, 1080}},
        {"taskbar at the top, secondary below",
         {0, 40, 1920, 1080},
         {0, 0, 1920, 2160},
         true,
         {{0, 0, 1920, 1080}, {0, 40, 1920, 1080}},
         {0, 40, 1920, 2160}},
        {"no virtual screen",
         {0, 0, 800, 560},
         {0, 0, 0, 0},
         true,
         {{0, 0, 800, 600}, {0, 0, 800, 560}},
         {0, 0, 800, 560}},
        {"no monitor information",
         {0, 0, 1920, 1040},
         {0, 0, 3840, 1080},
         false,
         {},
         {0, 0, 3840, 1080}},
    };
    for (const WorkAreaCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Rect area = DesktopWorkArea(c.primaryWork, c.virtualScreen,
                                          c.haveMonitorInfo ? &c.primary : nullptr);
        EXPECT_EQ(area, c.expected);
    }
}

}  // namespace
