#include "capture/rect_tracker.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "window_pixels.h"

namespace {

const RECT kPlace{300, 200, 500, 360};

// Reads the window after every move, while the drag shows its rectangle.
template <class Base>
class CWatchedTracker : public Base {
public:
    std::vector<Pixels> shown;
    std::vector<Rect> trackRects;

protected:
    void OnTrackMove(const Point& from, const Point& to) override {
        Base::OnTrackMove(from, to);
        shown.push_back(ReadWindowPixels(this->hwnd));
        if constexpr (requires(Base b) { b.GetTrackRect(); }) {
            trackRects.push_back(*this->GetTrackRect());
        }
    }
};

void PostDrag(HWND window, const std::vector<Point>& moves, UINT end) {
    for (const Point& p : moves) {
        PostMessageW(window, WM_MOUSEMOVE, 0,
                     MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
    }
    PostMessageW(window, end, end == WM_KEYDOWN ? VK_ESCAPE : 0, 0);
}

}  // namespace

TEST(RectTracker, TrackRectGivesTheInclusiveNormalisedRectangle) {
    struct Case {
        const char* name;
        Point start;
        std::vector<Point> moves;
        UINT end;
        bool result, aborted;
        Rect rect;
    };
    const Case cases[] = {
        {"click", {50, 50}, {}, WM_LBUTTONUP, false, false, {}},
        {"back to the start", {50, 50}, {{80, 90}, {50, 50}}, WM_LBUTTONUP, false, false, {}},
        {"one pixel right", {50, 50}, {{51, 50}}, WM_LBUTTONUP, true, false, {50, 50, 52, 51}},
        {"horizontal", {10, 20}, {{50, 20}}, WM_LBUTTONUP, true, false, {10, 20, 51, 21}},
        {"up and left", {50, 60}, {{10, 20}}, WM_LBUTTONUP, true, false, {10, 20, 51, 61}},
        {"escape", {50, 60}, {{10, 20}}, WM_KEYDOWN, false, true, {}},
        {"right press", {50, 60}, {{10, 20}}, WM_RBUTTONDOWN, false, true, {}},
    };
    for (const Case& c : cases) {
        CPaintedWindow window(kPlace);
        const Pixels before = ReadWindowPixels(window.hwnd);
        CDrawRectTrackerEx tracker;
        PostDrag(window.hwnd, c.moves, c.end);
        Point start = c.start;
        Rect result{};
        EXPECT_EQ(tracker.TrackRect(window.hwnd, start, result), c.result) << c.name;
        EXPECT_EQ(tracker.aborted, c.aborted) << c.name;
        if (c.result) {
            EXPECT_EQ(result, c.rect) << c.name;
        }
        EXPECT_EQ(ReadWindowPixels(window.hwnd).values, before.values) << c.name;
    }
}

TEST(RectTracker, TranslucentRectangleIsOnePixelShortOfTheResult) {
    CPaintedWindow window(kPlace);
    const Pixels before = ReadWindowPixels(window.hwnd);
    CWatchedTracker<CDrawRectTrackerEx> tracker;
    PostDrag(window.hwnd, {{150, 120}, {80, 70}}, WM_LBUTTONUP);
    Point start{40, 30};
    Rect result{};
    ASSERT_TRUE(tracker.TrackRect(window.hwnd, start, result));
    EXPECT_EQ(result, (Rect{40, 30, 81, 71}));
    ASSERT_EQ(tracker.shown.size(), 2u);
    EXPECT_EQ(tracker.trackRects[0], (Rect{40, 30, 151, 121}));
    EXPECT_EQ(tracker.trackRects[1], result);
    // Shown from the smaller corner up to, not including, the larger one.
    const Pixels& last = tracker.shown[1];
    for (int y = 0; y < last.height; ++y) {
        for (int x = 0; x < last.width; ++x) {
            const bool inside = x > 40 && x < 79 && y > 30 && y < 69;
            const bool outside = x < 40 || x >= 80 || y < 30 || y >= 70;
            if (inside) {
                ASSERT_TRUE(NearColor(last.At(x, y), HighlightOver(before.At(x, y))))
                    << x << "," << y;
            } else if (outside) {
                ASSERT_EQ(last.At(x, y), before.At(x, y)) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(ReadWindowPixels(window.hwnd).values, before.values);
}

TEST(RectTracker, FocusOutlineIsExactlyTheResultAndLeavesNothingBehind) {
    CPaintedWindow window(kPlace);
    const Pixels before = ReadWindowPixels(window.hwnd);
    CWatchedTracker<CDrawRectTracker> tracker;
    PostDrag(window.hwnd, {{90, 100}}, WM_LBUTTONUP);
    Point start{20, 30};
    Rect result{};
    ASSERT_TRUE(tracker.TrackRect(window.hwnd, start, result));
    ASSERT_EQ(tracker.shown.size(), 1u);
    Rect changed{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    int offOutline = 0;
    const Pixels& during = tracker.shown[0];
    for (int y = 0; y < during.height; ++y) {
        for (int x = 0; x < during.width; ++x) {
            if (during.At(x, y) == before.At(x, y)) {
                continue;
            }
            changed = Rect{std::min(changed.left, x), std::min(changed.top, y),
                           std::max(changed.right, x + 1), std::max(changed.bottom, y + 1)};
            offOutline += !(x == result.left || x == result.right - 1 || y == result.top ||
                            y == result.bottom - 1);
        }
    }
    EXPECT_EQ(offOutline, 0);
    EXPECT_EQ(changed, result);
    EXPECT_EQ(ReadWindowPixels(window.hwnd).values, before.values);
}
