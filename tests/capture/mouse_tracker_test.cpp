#include "capture/mouse_tracker.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/input.h"
#include "support/probe_window.h"

namespace {

const RECT kPlace{300, 200, 600, 400};

// Writes every callback into one line, so a test sees their order.
class CRecordingTracker : public CMouseTracker {
public:
    std::string log;
    std::vector<DWORD> moveTicks;
    int hovers = 0;
    std::function<void()> onBegin;
    std::function<void()> onHover;

protected:
    void OnBeginTrack(const Point& start) override {
        Write("B", start);
        if (onBegin) {
            onBegin();
        }
    }
    void OnTrackMove(const Point& from, const Point& to) override {
        Write("M", from);
        log += ">" + std::to_string(to.x) + "," + std::to_string(to.y);
        moveTicks.push_back(GetTickCount());
    }
    void OnEndTrack(const Point& last, bool cancelled) override {
        Write("E", last);
        log += cancelled ? "!" : "";
    }
    void OnHover(const Point&) override {
        ++hovers;
        if (onHover) {
            onHover();
        }
    }

private:
    void Write(const char* what, const Point& p) {
        log += (log.empty() ? "" : " ") + std::string(what) + std::to_string(p.x) + "," +
               std::to_string(p.y);
    }
};

struct Posted {
    UINT message;
    WPARAM wParam;
    int x, y;
};

void PostAll(HWND window, const std::vector<Posted>& messages) {
    for (const Posted& m : messages) {
        PostMessageW(window, m.message, m.wParam,
                     MAKELPARAM(static_cast<WORD>(m.x), static_cast<WORD>(m.y)));
    }
}

// Calls action once after the given time, from the thread's own queue.
void After(UINT milliseconds, std::function<void()> action) {
    static std::function<void()> pending;
    pending = std::move(action);
    SetTimer(nullptr, 0, milliseconds, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        pending();
    });
}

}  // namespace

TEST(MouseTracker, PostedDragsEndAsTheReleaseOrCancelSays) {
    const Rect bounds{0, 0, 99, 99};
    const Size grid{10, 10};
    struct Case {
        const char* name;
        Point start;
        const Rect* bounds;
        const Size* grid;
        std::vector<Posted> messages;
        bool result, aborted;
        Point last;
        const char* log;
    };
    // clang-format off
    const Case cases[] = {
        {"click", {50, 50}, nullptr, nullptr, {{WM_LBUTTONUP, 0, 50, 50}},
         false, false, {50, 50}, "B50,50 E50,50"},
        {"move and back", {50, 50}, nullptr, nullptr,
         {{WM_MOUSEMOVE, 0, 51, 50}, {WM_MOUSEMOVE, 0, 50, 50}, {WM_LBUTTONUP, 0, 50, 50}},
         true, false, {50, 50}, "B50,50 M50,50>51,50 M51,50>50,50 E50,50"},
        {"release position unused", {50, 50}, nullptr, nullptr,
         {{WM_MOUSEMOVE, 0, 60, 70}, {WM_LBUTTONUP, 0, 90, 90}},
         true, false, {60, 70}, "B50,50 M50,50>60,70 E60,70"},
        {"escape", {50, 50}, nullptr, nullptr,
         {{WM_MOUSEMOVE, 0, 60, 60}, {WM_KEYDOWN, VK_ESCAPE, 0, 0}, {WM_LBUTTONUP, 0, 0, 0}},
         false, true, {60, 60}, "B50,50 M50,50>60,60 E60,60!"},
        {"right press aborts", {50, 50}, nullptr, nullptr,
         {{WM_MOUSEMOVE, 0, 60, 60}, {WM_RBUTTONDOWN, 0, 60, 60}},
         false, true, {60, 60}, "B50,50 M50,50>60,60 E60,60!"},
        {"right release finishes", {50, 50}, nullptr, nullptr,
         {{WM_MOUSEMOVE, 0, 60, 60}, {WM_RBUTTONUP, 0, 60, 60}},
         true, false, {60, 60}, "B50,50 M50,50>60,60 E60,60"},
        {"other keys repeat the point, other buttons do nothing", {50, 50}, nullptr, nullptr,
         {{WM_KEYDOWN, 'A', 0, 0}, {WM_LBUTTONDOWN, 0, 70, 70}, {WM_MOUSEWHEEL, 0, 70, 70},
          {WM_KEYUP, 'A', 0, 0}, {WM_LBUTTONUP, 0, 0, 0}},
         false, false, {50, 50}, "B50,50 M50,50>50,50 M50,50>50,50 E50,50"},
        {"grid", {14, 26}, nullptr, &grid, {{WM_MOUSEMOVE, 0, 16, 24}, {WM_LBUTTONUP, 0, 0, 0}},
         true, false, {20, 20}, "B10,30 M10,30>20,20 E20,20"},
        {"bounds", {50, 50}, &bounds, nullptr,
         {{WM_MOUSEMOVE, 0, 150, -20}, {WM_LBUTTONUP, 0, 0, 0}},
         true, false, {99, 0}, "B50,50 M50,50>99,0 E99,0"},
    };
    // clang-format on
    for (const Case& c : cases) {
        CProbeWindow window;
        ASSERT_TRUE(window.CreatePopup(kPlace, WS_POPUP | WS_VISIBLE));
        CRecordingTracker tracker;
        tracker.SetBounds(c.bounds);
        tracker.SetGrid(c.grid);
        PostAll(window.hwnd, c.messages);
        Point point = c.start;
        EXPECT_EQ(tracker.Track(window.hwnd, point), c.result) << c.name;
        EXPECT_EQ(tracker.aborted, c.aborted) << c.name;
        EXPECT_EQ(point, c.last) << c.name;
        EXPECT_EQ(tracker.log, c.log) << c.name;
        EXPECT_EQ(GetCapture(), nullptr) << c.name;
        // Input belongs to the drag: none of it reached the window.
        EXPECT_EQ(window.Count(WM_KEYDOWN) + window.Count(WM_MOUSEMOVE), 0) << c.name;
        MSG left;
        while (PeekMessageW(&left, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&left);
        }
    }
}

TEST(MouseTracker, OtherTrafficIsDispatchedAndLostCaptureAborts) {
    CProbeWindow window, thief;
    ASSERT_TRUE(window.CreatePopup(kPlace, WS_POPUP | WS_VISIBLE));
    ASSERT_TRUE(thief.CreatePopup(RECT{0, 0, 50, 50}, WS_POPUP | WS_VISIBLE));
    CRecordingTracker tracker;
    tracker.onBegin = [&] {
        PostMessageW(window.hwnd, WM_APP, 0, 0);
        PostMessageW(window.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(70, 80));
        PostMessageW(thief.hwnd, WM_APP, 1, 0);
        PostMessageW(window.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(90, 90));
    };
    thief.handler = [&](UINT message, WPARAM wParam, LPARAM, bool& handled) {
        handled = message == WM_APP && wParam == 1;
        if (handled) {
            SetCapture(thief.hwnd);
        }
        return LRESULT{0};
    };
    Point point{50, 50};
    EXPECT_FALSE(tracker.Track(window.hwnd, point));
    EXPECT_TRUE(tracker.aborted);
    EXPECT_EQ(window.Count(WM_APP), 1);
    EXPECT_EQ(tracker.log, "B50,50 M50,50>70,80 E70,80!");
    ReleaseCapture();
}

TEST(MouseTracker, QuitEndsTheDragReleasesTheCaptureAndStaysQueued) {
    CProbeWindow window;
    ASSERT_TRUE(window.CreatePopup(kPlace, WS_POPUP | WS_VISIBLE));
    CRecordingTracker tracker;
    tracker.onBegin = [] { PostQuitMessage(9); };
    Point point{5, 5};
    EXPECT_FALSE(tracker.Track(window.hwnd, point));
    EXPECT_TRUE(tracker.aborted);
    EXPECT_EQ(tracker.log, "B5,5 E5,5!");
    EXPECT_EQ(GetCapture(), nullptr);
    MSG quit;
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 9u);
}

TEST(MouseTracker, NoWindowAbortsAtOnce) {
    CRecordingTracker tracker;
    PostMessageW(nullptr, WM_APP, 0, 0);
    Point point{1, 2};
    EXPECT_FALSE(tracker.Track(nullptr, point));
    EXPECT_TRUE(tracker.aborted);
    EXPECT_EQ(tracker.log, "");
    MSG left;
    EXPECT_TRUE(PeekMessageW(&left, nullptr, WM_APP, WM_APP, PM_REMOVE));
}

TEST(MouseTracker, RealInputDragsAndEscapes) {
    CProbeWindow window;
    ASSERT_TRUE(window.CreatePopup(kPlace, WS_POPUP | WS_VISIBLE));
    SetForegroundWindow(window.hwnd);
    SetFocus(window.hwnd);
    MoveMouseTo(kPlace.left + 20, kPlace.top + 20);
    PumpMessagesFor(100);

    CRecordingTracker drag;
    drag.onBegin = [] {
        MoveMouseTo(kPlace.left + 120, kPlace.top + 90);
        MouseButton(true, false);
    };
    Point point{20, 20};
    EXPECT_TRUE(drag.Track(window.hwnd, point));
    EXPECT_FALSE(drag.aborted);
    EXPECT_EQ(point, (Point{120, 90}));

    CRecordingTracker cancelled;
    cancelled.onBegin = [] {
        MoveMouseTo(kPlace.left + 60, kPlace.top + 60);
        PressKey(VK_ESCAPE);
    };
    point = Point{20, 20};
    EXPECT_FALSE(cancelled.Track(window.hwnd, point));
    EXPECT_TRUE(cancelled.aborted);
    PumpMessagesFor(50);
    EXPECT_EQ(window.Count(WM_KEYDOWN), 0);
}

TEST(MouseTracker, AutoScrollStepsAtMostEveryFiftyMilliseconds) {
    CProbeWindow window;
    ASSERT_TRUE(window.CreatePopup(kPlace, WS_POPUP | WS_VISIBLE));
    std::vector<WPARAM> scrolls;
    std::vector<DWORD> scrollTicks;
    window.handler = [&](UINT message, WPARAM wParam, LPARAM, bool& handled) {
        handled = message == WM_HSCROLL;
        if (handled) {
            scrolls.push_back(wParam);
            scrollTicks.push_back(GetTickCount());
        }
        return LRESULT{0};
    };
    const Point offset{};
    CRecordingTracker tracker;
    tracker.SetScrollOffset(&offset, true);
    DWORD begin = 0;
    tracker.onBegin = [&] {
        SetCursorPos(kPlace.left - 40, kPlace.top + 50);
        begin = GetTickCount();
        After(600, [&] { PostMessageW(window.hwnd, WM_LBUTTONUP, 0, 0); });
    };
    Point point{10, 50};
    tracker.Track(window.hwnd, point);
    const DWORD elapsed = GetTickCount() - begin;
    ASSERT_GE(scrolls.size(), 2u);
    EXPECT_LE(scrolls.size(), elapsed / 50 + 1);
    for (WPARAM code : scrolls) {
        EXPECT_EQ(code, WPARAM{SB_LINELEFT});
    }
    for (size_t i = 1; i < scrollTicks.size(); ++i) {
        EXPECT_GE(scrollTicks[i] - scrollTicks[i - 1], 50u);
    }
    // Every step is followed by a move, even when the point stays where it is.
    EXPECT_GE(tracker.moveTicks.size(), scrolls.size());
    EXPECT_EQ(point, (Point{-40, 50}));
}

TEST(MouseTracker, OneHoverPerRest) {
    CProbeWindow window;
    ASSERT_TRUE(window.CreatePopup(kPlace, WS_POPUP | WS_VISIBLE));
    CRecordingTracker tracker;
    tracker.hoverEnabled = true;
    DWORD restStart = 0;
    DWORD firstHover = 0;
    tracker.onBegin = [&] { restStart = GetTickCount(); };
    tracker.onHover = [&] {
        if (tracker.hovers == 1) {
            firstHover = GetTickCount();
            PostMessageW(window.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(30, 30));
        } else {
            // Rest on: no further report may come before the release.
            After(1200, [&] { PostMessageW(window.hwnd, WM_LBUTTONUP, 0, 0); });
        }
    };
    Point point{10, 10};
    EXPECT_TRUE(tracker.Track(window.hwnd, point));
    EXPECT_EQ(tracker.hovers, 2);
    EXPECT_GE(firstHover - restStart, 700u);
}
