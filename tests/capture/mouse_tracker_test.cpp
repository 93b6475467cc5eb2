#include "capture/mouse_tracker.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "capture/rect_tracker.h"
#include "support/input.h"
#include "support/screen_pattern.h"

namespace {

// Reads the window after every move, while the drag shows its rectangle.
class CWatchedTracker : public CDrawRectTrackerEx {
public:
    std::vector<uint32_t> shown;

protected:
    void OnTrackMove(const Point& from, const Point& to) override {
        CDrawRectTrackerEx::OnTrackMove(from, to);
        shown = ReadWindowPixels(hwnd);
    }
};

using Posted = std::tuple<UINT, WPARAM, LPARAM>;

}  // namespace

// From (50, 50), with other traffic going on. While the drag runs the window shows the
// translucent rectangle between the start and the last point; a release chooses it with both
// corner pixels, unless it has no extent at all. A cancel leaves the release that follows to
// the window; a quit ends the drag as a cancel and stays queued for the loops around it.
TEST(MouseTracker, PostedDragsEndAsTheReleaseOrCancelSays) {
    CPatternWindow window(RECT{300, 200, 500, 360});
    const std::vector<uint32_t> before = ReadWindowPixels(window.hwnd);
    struct Case {
        std::vector<Posted> messages;
        bool chosen, cancelled;
        Rect shown;
    };
    const auto to = [](int x, int y) { return Posted{WM_MOUSEMOVE, 0, MAKELPARAM(x, y)}; };
    const Posted up{WM_LBUTTONUP, 0, 0}, down{WM_LBUTTONDOWN, 0, 0}, quit{WM_QUIT, 9, 0};
    const Posted rightDown{WM_RBUTTONDOWN, 0, 0}, rightUp{WM_RBUTTONUP, 0, 0};
    const Posted escape{WM_KEYDOWN, VK_ESCAPE, 0}, key{WM_KEYDOWN, 'A', 0};
    // A release without a move is the session test's click.
    const Case cases[] = {
        // Back at its start, the drag chooses nothing.
        {{to(51, 50), to(50, 50), up}, false, false, {}},
        {{to(51, 50), up}, true, false, {50, 50, 51, 50}},
        {{to(90, 80), to(20, 10), up}, true, false, {20, 10, 50, 50}},
        {{to(60, 60), escape, up}, false, true, {50, 50, 60, 60}},
        {{to(60, 60), rightDown, up}, false, true, {50, 50, 60, 60}},
        {{to(60, 60), rightUp}, true, false, {50, 50, 60, 60}},
        {{to(60, 60), quit}, false, true, {50, 50, 60, 60}},
        // Other keys and buttons change nothing.
        {{to(60, 60), key, down, to(70, 70), up}, true, false, {50, 50, 70, 70}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        window.received.clear();
        CWatchedTracker tracker;
        PostMessageW(window.hwnd, WM_APP, 0, 0);
        for (const auto& [message, wParam, lParam] : c.messages) {
            PostMessageW(window.hwnd, message, wParam, lParam);
        }
        Point point{50, 50};
        Rect chosen{};
        EXPECT_EQ(tracker.TrackRect(window.hwnd, point, chosen), c.chosen);
        const Rect& s = c.shown;
        if (c.chosen) {
            EXPECT_EQ(chosen, (Rect{s.left, s.top, s.right + 1, s.bottom + 1}));
        }
        EXPECT_EQ(tracker.aborted, c.cancelled);
        MSG requeued{};
        EXPECT_EQ(PeekMessageW(&requeued, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE,
                  c.messages.back() == quit);
        EXPECT_EQ(requeued.wParam, c.messages.back() == quit ? 9u : 0u);
        EXPECT_EQ(CountWrongPixels(tracker.shown, before, 200, {c.shown}), 0);
        EXPECT_EQ(ReadWindowPixels(window.hwnd), before);
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(window.Count(WM_APP), 1);
        // Input belongs to the drag: none of it reached the window.
        EXPECT_EQ(window.Count(WM_KEYDOWN) + window.Count(WM_MOUSEMOVE), 0);
        PumpMessagesFor(0);
    }
    // Without a window nothing could take the capture away, and a loop would swallow the
    // thread's input for good: there is no drag at all.
    CWatchedTracker none;
    Point point{5, 5};
    EXPECT_FALSE(none.Track(nullptr, point));
    EXPECT_TRUE(none.aborted);
}
