#include "capture/drag_feedback.h"

#include <gtest/gtest.h>

#include "window_pixels.h"

namespace {

// Pixels off the shapes must be exactly the saved ones; pixels inside a shape (its outline
// row and column aside) the highlight blended over them.
int CountWrongPixels(const Pixels& now, const Pixels& before, const Rect& shape) {
    int wrong = 0;
    for (int y = 0; y < now.height; ++y) {
        for (int x = 0; x < now.width; ++x) {
            const bool inside =
                x >= shape.left && x < shape.right && y >= shape.top && y < shape.bottom;
            const bool outline =
                x == shape.left || x == shape.right - 1 || y == shape.top || y == shape.bottom - 1;
            if (!inside) {
                wrong += now.At(x, y) != before.At(x, y);
            } else if (!outline) {
                wrong += !NearColor(now.At(x, y), HighlightOver(before.At(x, y)));
            }
        }
    }
    return wrong;
}

const RECT kPlace{300, 200, 500, 360};

}  // namespace

TEST(DragFeedback, ShowsTheHighlightAndPutsTheWindowBack) {
    CPaintedWindow window(kPlace);
    const Pixels before = ReadWindowPixels(window.hwnd);
    ASSERT_EQ(before.width, 200);

    CDragFeedback feedback;
    feedback.Begin(window.hwnd);
    feedback.End();
    EXPECT_EQ(ReadWindowPixels(window.hwnd).values, before.values);

    feedback.Begin(window.hwnd);
    EXPECT_EQ(feedback.Update(), Rect{});  // nothing shown, nothing copied
    feedback.AddRect(Rect{20, 20, 120, 80});
    EXPECT_EQ(feedback.Update(), (Rect{20, 20, 120, 80}));
    EXPECT_EQ(CountWrongPixels(ReadWindowPixels(window.hwnd), before, Rect{20, 20, 120, 80}), 0);

    // From large to small, given inverted: the uncovered part comes back in the same copy.
    feedback.ClearItems();
    feedback.AddRect(Rect{60, 50, 30, 30});
    EXPECT_EQ(feedback.Update(), (Rect{20, 20, 120, 80}));
    EXPECT_EQ(CountWrongPixels(ReadWindowPixels(window.hwnd), before, Rect{30, 30, 60, 50}), 0);

    // Two items: the copy covers both and what was shown before.
    feedback.ClearItems();
    feedback.AddRect(Rect{10, 10, 40, 25});
    feedback.AddRect(Rect{100, 100, 150, 140});
    EXPECT_EQ(feedback.Update(), (Rect{10, 10, 150, 140}));
    const Pixels two = ReadWindowPixels(window.hwnd);
    EXPECT_TRUE(NearColor(two.At(20, 15), HighlightOver(before.At(20, 15))));
    EXPECT_TRUE(NearColor(two.At(120, 120), HighlightOver(before.At(120, 120))));
    EXPECT_EQ(two.At(70, 70), before.At(70, 70));

    feedback.ClearItems();
    EXPECT_EQ(feedback.Update(), (Rect{10, 10, 150, 140}));
    EXPECT_EQ(feedback.Update(), Rect{});
    feedback.AddRect(Rect{5, 5, 50, 50});
    feedback.Update();
    feedback.End();
    EXPECT_EQ(ReadWindowPixels(window.hwnd).values, before.values);
    EXPECT_EQ(feedback.Update(), Rect{});  // inactive: reaches nothing
}

TEST(DragFeedback, ShapeWithoutAreaDrawsNothing) {
    CPaintedWindow window(kPlace);
    const Pixels before = ReadWindowPixels(window.hwnd);
    CDragFeedback feedback;
    feedback.Begin(window.hwnd);
    feedback.AddRect(Rect{10, 40, 150, 40});
    EXPECT_EQ(feedback.Update(), Rect{});
    // A later shape over the same place must find the saved pixels under it.
    feedback.ClearItems();
    feedback.AddRect(Rect{0, 30, 160, 50});
    feedback.Update();
    EXPECT_EQ(CountWrongPixels(ReadWindowPixels(window.hwnd), before, Rect{0, 30, 160, 50}), 0);
    feedback.End();
}

TEST(DragFeedback, MoreCyclesThanTheHandleLimitAllSucceed) {
    // Any handle left behind per cycle would exhaust the process's GDI handles long before
    // the last cycle, and the shape would stop appearing.
    constexpr int kCycles = 70000;
    CPaintedWindow window(RECT{300, 200, 316, 216});
    HDC probe = GetDCEx(window.hwnd, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    const COLORREF below = GetPixel(probe, 7, 7);
    ReleaseDC(window.hwnd, probe);
    const uint32_t expected =
        HighlightOver((GetRValue(below) << 16) | (GetGValue(below) << 8) | GetBValue(below));
    CDragFeedback feedback;
    int failed = 0;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        feedback.Begin(window.hwnd);
        feedback.AddRect(Rect{2, 2, 14, 14});
        feedback.Update();
        HDC dc = GetDCEx(window.hwnd, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
        const COLORREF shown = GetPixel(dc, 7, 7);
        ReleaseDC(window.hwnd, dc);
        feedback.End();
        const uint32_t value =
            (GetRValue(shown) << 16) | (GetGValue(shown) << 8) | GetBValue(shown);
        if (!NearColor(value, expected)) {
            ++failed;
        }
    }
    EXPECT_EQ(failed, 0);
}
