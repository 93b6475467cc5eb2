#include "capture/drag_feedback.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/screen_pattern.h"

TEST(DragFeedback, ShowsTheHighlightAndPutsTheWindowBack) {
    CPatternWindow window(RECT{300, 200, 500, 360});
    const std::vector<uint32_t> before = ReadWindowPixels(window.hwnd);
    CDragFeedback feedback;
    feedback.Begin(window.hwnd);
    feedback.End();
    EXPECT_EQ(ReadWindowPixels(window.hwnd), before);

    feedback.Begin(window.hwnd);
    EXPECT_EQ(feedback.Update(), Rect{});  // nothing shown, nothing copied
    // A shape without area draws nothing, not even an outline that a later shape would find.
    feedback.AddRect(Rect{10, 40, 150, 40});
    EXPECT_EQ(feedback.Update(), Rect{});
    // Each copy covers the new shapes and those shown before; from large to small (given
    // inverted) the uncovered part comes back in the same copy.
    const std::pair<std::vector<Rect>, Rect> steps[] = {
        {{{20, 20, 120, 80}}, {20, 20, 120, 80}},
        {{{60, 50, 30, 30}}, {20, 20, 120, 80}},
        {{{10, 10, 40, 25}, {100, 100, 150, 140}}, {10, 10, 150, 140}},
        {{{5, 5, 50, 50}}, {5, 5, 150, 140}},
    };
    for (const auto& [shapes, copied] : steps) {
        feedback.ClearItems();
        for (const Rect& shape : shapes) {
            feedback.AddRect(shape);
        }
        EXPECT_EQ(feedback.Update(), copied);
        EXPECT_EQ(CountWrongPixels(ReadWindowPixels(window.hwnd), before, 200, shapes), 0);
    }
    feedback.End();
    EXPECT_EQ(ReadWindowPixels(window.hwnd), before);
}
