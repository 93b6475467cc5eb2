#include "capture/mouse_tracker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "support/input.h"
#include "support/probe_window.h"

namespace {

// Writes every callback into one line, so a test sees their order.
class CRecordingTracker : public CMouseTracker {
public:
    std::string log;
    std::function<void()> onBegin = [] {}, onHover = [] {};

protected:
    void OnBeginTrack(const Point& start) override {
        Write(" B", start);
        onBegin();
    }
    void OnTrackMove(const Point& from, const Point& to) override {
        Write(" M", from);
        Write(">", to);
    }
    void OnEndTrack(const Point& last, bool cancelled) override {
        Write(" E", last);
        log += cancelled ? "!" : "";
    }
    void OnHover(const Point&) override {
        log += " H";
        onHover();
    }

private:
    void Write(const char* what, const Point& p) {
        log += what + std::to_string(p.x) + "," + std::to_string(p.y);
    }
};

class MouseTracker : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window.CreatePopup(RECT{300, 200, 600, 400}, WS_POPUP | WS_VISIBLE));
    }
    CProbeWindow window;
    CRecordingTracker tracker;
};

using Posted = std::tuple<UINT, WPARAM, LPARAM>;

}  // namespace

// The log ends in "!" when the drag was cancelled.
TEST_F(MouseTracker, PostedDragsEndAsTheReleaseOrCancelSays) {
    const Rect bounds{0, 0, 99, 99};
    const Size grid{10, 10};
    struct Case {
        Point start;
        std::vector<Posted> messages;
        bool result;
        const char* log;
        const Size* grid = nullptr;
        const Rect* bounds = nullptr;
    };
    const auto to = [](int x, int y) { return Posted{WM_MOUSEMOVE, 0, MAKELPARAM(x, y)}; };
    const Posted up{WM_LBUTTONUP, 0, 0}, down{WM_LBUTTONDOWN, 0, 0};
    const Posted rightDown{WM_RBUTTONDOWN, 0, 0}, rightUp{WM_RBUTTONUP, 0, 0};
    const Posted escape{WM_KEYDOWN, VK_ESCAPE, 0}, key{WM_KEYDOWN, 'A', 0};
    const Case cases[] = {
        {{50, 50}, {up}, false, " B50,50 E50,50"},
        {{50, 50}, {to(51, 50), to(50, 50), up}, true, " B50,50 M50,50>51,50 M51,50>50,50 E50,50"},
        {{50, 50}, {to(60, 60), escape}, false, " B50,50 M50,50>60,60 E60,60!"},
        {{50, 50}, {to(60, 60), rightDown}, false, " B50,50 M50,50>60,60 E60,60!"},
        {{50, 50}, {to(60, 60), rightUp}, true, " B50,50 M50,50>60,60 E60,60"},
        // Other keys repeat the point, other buttons do nothing.
        {{50, 50}, {key, down, up}, false, " B50,50 M50,50>50,50 E50,50"},
        {{14, 26}, {to(16, 24), up}, true, " B10,30 M10,30>20,20 E20,20", &grid},
        {{50, 50}, {to(150, -20), up}, true, " B50,50 M50,50>99,0 E99,0", nullptr, &bounds},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.log);
        window.received.clear();
        tracker.log.clear();
        tracker.SetBounds(c.bounds);
        tracker.SetGrid(c.grid);
        // Other traffic goes on during the drag.
        PostMessageW(window.hwnd, WM_APP, 0, 0);
        for (const auto& [message, wParam, lParam] : c.messages) {
            PostMessageW(window.hwnd, message, wParam, lParam);
        }
        Point point = c.start;
        EXPECT_EQ(tracker.Track(window.hwnd, point), c.result);
        EXPECT_EQ(tracker.aborted, tracker.log.back() == '!');
        EXPECT_EQ(tracker.log, c.log);
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(window.Count(WM_APP), 1);
        // Input belongs to the drag: none of it reached the window.
        EXPECT_EQ(window.Count(WM_KEYDOWN) + window.Count(WM_MOUSEMOVE), 0);
        PumpMessagesFor(0);
    }
}

// The quit ends the drag and stays queued for the loops around it; without a window there is
// no drag at all.
TEST_F(MouseTracker, QuitOrNoWindowAborts) {
    tracker.onBegin = [] { PostQuitMessage(9); };
    Point point{5, 5};
    EXPECT_FALSE(tracker.Track(window.hwnd, point));
    EXPECT_TRUE(tracker.aborted);
    EXPECT_EQ(tracker.log, " B5,5 E5,5!");
    EXPECT_EQ(GetCapture(), nullptr);
    MSG quit;
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 9u);

    CRecordingTracker none;
    EXPECT_FALSE(none.Track(nullptr, point));
    EXPECT_TRUE(none.aborted);
    EXPECT_EQ(none.log, "");
}

// With the pointer held left of the window: one step left at most every 50 ms, each followed
// by a move. The eighth step ends the drag.
TEST_F(MouseTracker, AutoScrollStepsAtMostEveryFiftyMilliseconds) {
    std::vector<WPARAM> scrolls;
    window.handler = [&](UINT message, WPARAM wParam, LPARAM, bool& handled) {
        handled = message == WM_HSCROLL;
        if (handled) {
            scrolls.push_back(wParam);
            if (scrolls.size() == 8) {
                PostMessageW(window.hwnd, WM_LBUTTONUP, 0, 0);
            }
        }
        return LRESULT{0};
    };
    const Point offset{};
    tracker.SetScrollOffset(&offset, true);
    DWORD begin = 0;
    tracker.onBegin = [&] {
        SetCursorPos(300 - 40, 200 + 50);
        begin = GetTickCount();
    };
    Point point{10, 50};
    tracker.Track(window.hwnd, point);
    EXPECT_LE(scrolls.size(), (GetTickCount() - begin) / 50 + 1);
    EXPECT_EQ(scrolls, std::vector<WPARAM>(8, SB_LINELEFT));
    EXPECT_GE(std::count(tracker.log.begin(), tracker.log.end(), 'M'), 8);
    EXPECT_EQ(point, (Point{-40, 50}));
}

// The first rest is reported after 700 ms; a move starts a new rest, which is reported once
// even when it lasts 1200 ms more.
TEST_F(MouseTracker, OneHoverPerRest) {
    tracker.hoverEnabled = true;
    DWORD restStart = 0, firstHover = 0;
    int hovers = 0;
    tracker.onBegin = [&] { restStart = GetTickCount(); };
    tracker.onHover = [&] {
        if (++hovers == 1) {
            firstHover = GetTickCount();
            PostMessageW(window.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(30, 30));
        } else {
            SetTimer(nullptr, 0, 1200, [](HWND, UINT, UINT_PTR id, DWORD) {
                KillTimer(nullptr, id);
                PostMessageW(GetCapture(), WM_LBUTTONUP, 0, 0);
            });
        }
    };
    Point point{10, 10};
    EXPECT_TRUE(tracker.Track(window.hwnd, point));
    EXPECT_EQ(tracker.log, " B10,10 H M10,10>30,30 H E30,30");
    EXPECT_GE(firstHover - restStart, 700u);
}
