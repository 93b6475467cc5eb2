#include "capture/rect_tracker.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/screen_pattern.h"

namespace {

// Reads the window after every move, while the drag shows its rectangle.
template <class Base>
class CWatchedTracker : public Base {
public:
    std::vector<uint32_t> shown;

protected:
    void OnTrackMove(const Point& from, const Point& to) override {
        Base::OnTrackMove(from, to);
        shown = ReadWindowPixels(this->hwnd);
    }
};

// A drag from (40, 30) up and to the left, ended by the given message: the result is the
// normalised rectangle with both corners. The window shows the rectangle, drawn as the focus
// outline or translucent, only while the drag runs.
template <class Tracker>
void ExpectShownWhileTracking(const Rect& shown, bool translucent) {
    CPatternWindow window(RECT{300, 200, 500, 360});
    const std::vector<uint32_t> before = ReadWindowPixels(window.hwnd);
    for (UINT end : {WM_KEYDOWN, WM_LBUTTONUP}) {
        PostMessageW(window.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(150, 120));
        PostMessageW(window.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(80, 70));
        PostMessageW(window.hwnd, end, end == WM_KEYDOWN ? VK_ESCAPE : 0, 0);
        CWatchedTracker<Tracker> tracker;
        Point start{40, 30};
        Rect result{};
        EXPECT_EQ(tracker.TrackRect(window.hwnd, start, result), end == WM_LBUTTONUP);
        EXPECT_EQ(tracker.aborted, end == WM_KEYDOWN);
        EXPECT_EQ(ReadWindowPixels(window.hwnd), before);
        EXPECT_NE(tracker.shown, before);
        EXPECT_EQ(CountWrongPixels(tracker.shown, before, 200, {shown}, translucent), 0);
        EXPECT_EQ(result, (end == WM_LBUTTONUP ? Rect{40, 30, 81, 71} : Rect{}));
    }
}

}  // namespace

// The focus outline is exactly the result; the translucent rectangle is one pixel short of it.
TEST(RectTracker, ShowsTheRectangleOnlyWhileTracking) {
    ExpectShownWhileTracking<CDrawRectTracker>(Rect{40, 30, 81, 71}, false);
    ExpectShownWhileTracking<CDrawRectTrackerEx>(Rect{40, 30, 80, 70}, true);
}
