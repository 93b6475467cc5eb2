// Fitting, zoom, scroll bars, keys, wheel and drag of a real viewer window.
#include "app/command_ids.h"
#include "app/settings.h"
#include "support/input.h"
#include "viewer/bitmap_utils.h"
#include "viewer/viewer_fixture.h"

namespace {

HBITMAP Gradient(int width, int height) {
    return MakeBitmap(width, height, [](int x, int y) {
        return static_cast<uint32_t>((x & 0xFF) << 16 | (y & 0xFF) << 8 | 0x80);
    });
}

// The outer window size for a client area of exactly the given size.
SIZE OuterSize(int clientWidth, int clientHeight) {
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW | WS_VISIBLE, FALSE, 0);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

RECT WorkArea() {
    RECT area{};
    GetDesktopWorkArea(&area);
    return area;
}

bool HasStyle(HWND window, DWORD style) {
    return (static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & style) != 0;
}

SCROLLINFO ScrollInfo(HWND window, int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window, bar, &info);
    return info;
}

void HoldControl(bool held) {
    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = held ? 0x80 : 0;
    SetKeyboardState(keys);
}

}  // namespace

TEST_F(ViewerTest, FitsAtFiftyAndHundredPercentAndMaximizesAtThreeHundred) {
    RECT area = WorkArea();
    ASSERT_GE(area.right - area.left, 1000) << "the test display is too small";
    OpenViewer(Gradient(800, 600));
    EXPECT_STREQ(Title().CStr(), "Glimpser (100%)");

    // 100%: the image plus its frame, at the origin where the window was created.
    SIZE outer = OuterSize(800, 600);
    RECT window = WindowRect();
    EXPECT_EQ(window.left, 0);
    EXPECT_EQ(window.top, 0);
    EXPECT_EQ(window.right - window.left, outer.cx);
    EXPECT_EQ(window.bottom - window.top, outer.cy);
    EXPECT_FALSE(HasStyle(Window(), WS_HSCROLL | WS_VSCROLL));

    Command(ID_ZOOM_OUT);
    EXPECT_STREQ(Title().CStr(), "Glimpser (50%)");
    SIZE half = OuterSize(400, 300);
    window = WindowRect();
    EXPECT_EQ(window.right - window.left, half.cx);
    EXPECT_EQ(window.bottom - window.top, half.cy);
    RECT client = ClientRect();
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 300);

    // Nothing below 50%: neither title nor window change.
    Command(ID_ZOOM_OUT);
    EXPECT_STREQ(Title().CStr(), "Glimpser (50%)");
    EXPECT_EQ(WindowRect().right, window.right);

    viewer->SetZoom(6);  // 300%: 2400 by 1800 does not fit
    EXPECT_STREQ(Title().CStr(), "Glimpser (300%)");
    EXPECT_TRUE(IsZoomed(Window()));
    EXPECT_TRUE(HasStyle(Window(), WS_HSCROLL));
    EXPECT_TRUE(HasStyle(Window(), WS_VSCROLL));
    RECT maximized = WindowRect();

    // Zoom 100% restores the window the viewer maximized and sizes it to the image again,
    // at the corner the maximized window had.
    Command(ID_ZOOM_100);
    EXPECT_FALSE(IsZoomed(Window()));
    window = WindowRect();
    EXPECT_EQ(window.left, maximized.left);
    EXPECT_EQ(window.top, maximized.top);
    EXPECT_EQ(window.right - window.left, outer.cx);
    EXPECT_EQ(window.bottom - window.top, outer.cy);
    EXPECT_FALSE(HasStyle(Window(), WS_HSCROLL | WS_VSCROLL));
}

TEST_F(ViewerTest, FittedWindowIsPulledLeftAndUpByTheExcessOnly) {
    RECT area = WorkArea();
    OpenViewer(Gradient(300, 200));
    SetWindowPos(Window(), nullptr, area.right - 100, area.bottom - 50, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    Command(ID_ZOOM_IN);  // 120%: 360 by 240
    SIZE zoomed = OuterSize(360, 240);
    RECT window = WindowRect();
    EXPECT_EQ(window.right, area.right);
    EXPECT_EQ(window.bottom, area.bottom);
    EXPECT_EQ(window.right - window.left, zoomed.cx);
    EXPECT_EQ(window.bottom - window.top, zoomed.cy);
}

TEST_F(ViewerTest, WindowTheUserMaximizedKeepsItsSizeThroughZoom) {
    OpenViewer(Gradient(800, 600));
    ShowWindow(Window(), SW_MAXIMIZE);
    RECT maximized = WindowRect();
    viewer->SetZoom(6);
    viewer->SetZoom(0);
    viewer->SetZoom(1);
    EXPECT_TRUE(IsZoomed(Window()));
    RECT window = WindowRect();
    EXPECT_EQ(window.right - window.left, maximized.right - maximized.left);
    EXPECT_EQ(window.bottom - window.top, maximized.bottom - maximized.top);
    // The bars follow the image: 100% fits a maximized window on this display.
    EXPECT_FALSE(HasStyle(Window(), WS_HSCROLL | WS_VSCROLL));
    viewer->SetZoom(6);
    EXPECT_TRUE(HasStyle(Window(), WS_HSCROLL));
}

TEST_F(ViewerTest, ScrollBarsRangeOverTheZoomedImageAndStepByLinesAndPages) {
    OpenViewer(Gradient(1600, 1200));
    viewer->SetZoom(6);  // 4800 by 3600
    RECT client = ClientRect();
    SCROLLINFO horizontal = ScrollInfo(Window(), SB_HORZ);
    EXPECT_EQ(horizontal.nMin, 0);
    EXPECT_EQ(horizontal.nMax, 4800);
    EXPECT_EQ(static_cast<LONG>(horizontal.nPage), client.right);
    SCROLLINFO vertical = ScrollInfo(Window(), SB_VERT);
    EXPECT_EQ(vertical.nMax, 3600);
    EXPECT_EQ(static_cast<LONG>(vertical.nPage), client.bottom);

    struct Step {
        const char* name;
        UINT message;  // WM_HSCROLL, WM_VSCROLL or WM_KEYDOWN
        WPARAM wParam;
        bool control;
        int expectedX, expectedY;
    } steps[] = {
        {"line right", WM_HSCROLL, SB_LINERIGHT, false, client.right / 20, 0},
        {"arrow right", WM_KEYDOWN, VK_RIGHT, false, 2 * (client.right / 20), 0},
        {"arrow left", WM_KEYDOWN, VK_LEFT, false, client.right / 20, 0},
        {"page down", WM_KEYDOWN, VK_NEXT, false, client.right / 20, client.bottom},
        {"arrow down", WM_KEYDOWN, VK_DOWN, false, client.right / 20,
         client.bottom + client.bottom / 20},
        {"ctrl page down", WM_KEYDOWN, VK_NEXT, true, client.right / 20 + client.right,
         client.bottom + client.bottom / 20},
        {"page up", WM_VSCROLL, SB_PAGEUP, false, client.right / 20 + client.right,
         client.bottom / 20},
        {"right end", WM_HSCROLL, SB_RIGHT, false, 4800 - client.right + 1, client.bottom / 20},
        {"ctrl page up", WM_KEYDOWN, VK_PRIOR, true, 4800 - 2 * client.right + 1,
         client.bottom / 20},
        {"left end", WM_HSCROLL, SB_LEFT, false, 0, client.bottom / 20},
        {"top", WM_VSCROLL, SB_TOP, false, 0, 0},
        {"home does nothing", WM_KEYDOWN, VK_HOME, false, 0, 0},
    };
    for (const Step& step : steps) {
        HoldControl(step.control);
        SendMessageW(Window(), step.message, step.wParam, 0);
        HoldControl(false);
        EXPECT_EQ(GetScrollPos(Window(), SB_HORZ), step.expectedX) << step.name;
        EXPECT_EQ(GetScrollPos(Window(), SB_VERT), step.expectedY) << step.name;
    }
}

TEST_F(ViewerTest, WheelZoomsByWholeNotchesAndKeepsTheRest) {
    OpenViewer(Gradient(100, 80));
    auto wheel = [this](short delta) {
        SendMessageW(Window(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
    };
    wheel(60);
    EXPECT_STREQ(Title().CStr(), "Glimpser (100%)");
    wheel(60);
    EXPECT_STREQ(Title().CStr(), "Glimpser (120%)");
    wheel(360);
    EXPECT_STREQ(Title().CStr(), "Glimpser (250%)");
    // Up then down leaves nothing over.
    wheel(60);
    wheel(-60);
    EXPECT_STREQ(Title().CStr(), "Glimpser (250%)");
    // -60 is kept: with -120 more it makes one step and keeps -60 again.
    wheel(-120);
    EXPECT_STREQ(Title().CStr(), "Glimpser (200%)");
    // Focus drops what was left over.
    SendMessageW(Window(), WM_SETFOCUS, 0, 0);
    wheel(-60);
    EXPECT_STREQ(Title().CStr(), "Glimpser (200%)");
}

TEST_F(ViewerTest, DraggingMovesASmallImagesWindowAndPansALargeImage) {
    OpenViewer(Gradient(300, 200));
    RECT before = WindowRect();
    SendMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(Window(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 25));
    SendMessageW(Window(), WM_LBUTTONUP, 0, MAKELPARAM(30, 25));
    RECT after = WindowRect();
    EXPECT_EQ(after.left - before.left, 20);
    EXPECT_EQ(after.top - before.top, 15);
    EXPECT_EQ(GetCapture(), nullptr);

    viewer->SetZoom(10);  // 800%: panning
    before = WindowRect();
    SendMessageW(Window(), WM_HSCROLL, SB_LINERIGHT, 0);
    SendMessageW(Window(), WM_VSCROLL, SB_LINEDOWN, 0);
    int startX = GetScrollPos(Window(), SB_HORZ);
    int startY = GetScrollPos(Window(), SB_VERT);
    SendMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 200));
    SendMessageW(Window(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(160, 230));
    EXPECT_EQ(GetScrollPos(Window(), SB_HORZ), startX + 40);
    EXPECT_EQ(GetScrollPos(Window(), SB_VERT), startY - 30);
    SendMessageW(Window(), WM_CANCELMODE, 0, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    // Moves without the capture change nothing.
    SendMessageW(Window(), WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
    EXPECT_EQ(GetScrollPos(Window(), SB_HORZ), startX + 40);
    after = WindowRect();
    EXPECT_EQ(after.left, before.left);
}

TEST_F(ViewerTest, EmptyHistoryShowsThePlaceholderAtTheOrigin) {
    OpenViewer();
    EXPECT_EQ(viewer->Image(), nullptr);
    EXPECT_TRUE(viewer->CurrentPath().IsEmpty());
    RECT window = WindowRect();
    SIZE outer = OuterSize(100, 100);
    EXPECT_EQ(window.left, 0);
    EXPECT_EQ(window.top, 0);
    // The platform keeps a window at least as wide as its minimum tracking size.
    EXPECT_EQ(window.right - window.left, outer.cx > GetSystemMetrics(SM_CXMINTRACK)
                                              ? outer.cx
                                              : GetSystemMetrics(SM_CXMINTRACK));
    EXPECT_EQ(ClientRect().bottom, 100);
}

TEST_F(ViewerTest, SmoothModeAndSaveTypeAreWrittenBackOnClose) {
    OpenViewer(Gradient(50, 50));
    EXPECT_EQ(viewer->SmoothStretch(), 2);
    Command(ID_SMOOTH_ENABLED);
    EXPECT_EQ(viewer->SmoothStretch(), 1);
    CloseViewer();
    EXPECT_EQ(GetSettingInt("Settings", "SmoothStretch", -1), 1);
    EXPECT_EQ(GetSettingInt("Settings", "LastSaveType", -1), 0);
    OpenViewer();
    EXPECT_EQ(viewer->SmoothStretch(), 1);
}
