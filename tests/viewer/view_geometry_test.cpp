// Fitting, zoom, scroll bars, keys and the wheel of a real viewer window.
#include "imaging/bitmap_utils.h"
#include "tessel/format.h"
#include "viewer/viewer_fixture.h"
#include "win/command_ids.h"

namespace {

uint32_t Gradient(int x, int y) {
    return static_cast<uint32_t>((x & 0xFF) << 16 | (y & 0xFF) << 8 | 0x80);
}

bool HasStyle(HWND window, DWORD style) {
    return (static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & style) != 0;
}

}  // namespace

TEST_F(ViewerTest, FitsAtFiftyAndHundredPercentMaximizesAtThreeHundredAndKeepsTheUsersMaximum) {
    RECT area{};
    GetDesktopWorkArea(&area);
    ASSERT_GE(area.right - area.left, 1000) << "the test display is too small";
    OpenViewer(MakeBitmap(800, 600, Gradient));
    // The image plus its frame, with no bars.
    auto expectFitted = [this](const char* title, int width, int height) {
        RECT outer{0, 0, width, height};
        AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW | WS_VISIBLE, FALSE, 0);
        RECT window = WindowRect();
        EXPECT_STREQ(Title().CStr(), title);
        EXPECT_EQ(window.right - window.left, outer.right - outer.left) << title;
        EXPECT_EQ(window.bottom - window.top, outer.bottom - outer.top) << title;
        EXPECT_FALSE(IsZoomed(Window())) << title;
        EXPECT_FALSE(HasStyle(Window(), WS_HSCROLL | WS_VSCROLL)) << title;
    };
    expectFitted("Glimpser (100%)", 800, 600);
    EXPECT_EQ(WindowRect().left, 0);
    EXPECT_EQ(WindowRect().top, 0);
    Command(ID_ZOOM_OUT);
    expectFitted("Glimpser (50%)", 400, 300);

    viewer->SetZoom(6);  // 300%: 2400 by 1800 does not fit
    EXPECT_STREQ(Title().CStr(), "Glimpser (300%)");
    EXPECT_TRUE(IsZoomed(Window()));
    EXPECT_TRUE(HasStyle(Window(), WS_HSCROLL) && HasStyle(Window(), WS_VSCROLL));
    RECT maximized = WindowRect();

    // The window the viewer maximized is restored and fitted at the corner it had.
    Command(ID_ZOOM_100);
    expectFitted("Glimpser (100%)", 800, 600);
    EXPECT_EQ(WindowRect().left, maximized.left);
    EXPECT_EQ(WindowRect().top, maximized.top);

    // A window the user maximized keeps its size; the bars follow the image.
    ShowWindow(Window(), SW_MAXIMIZE);
    maximized = WindowRect();
    viewer->SetZoom(6);
    viewer->SetZoom(1);
    RECT window = WindowRect();
    EXPECT_TRUE(IsZoomed(Window()) && EqualRect(&window, &maximized));
    EXPECT_FALSE(HasStyle(Window(), WS_HSCROLL | WS_VSCROLL));
}

TEST_F(ViewerTest, ScrollBarsRangeOverTheZoomedImageAndStepByLinesAndPages) {
    OpenViewer(MakeBitmap(1600, 1200, Gradient));
    viewer->SetZoom(6);  // 4800 by 3600
    RECT client = ClientRect();
    for (int bar : {SB_HORZ, SB_VERT}) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(Window(), bar, &info);
        EXPECT_EQ(info.nMin, 0);
        EXPECT_EQ(info.nMax, bar == SB_HORZ ? 4800 : 3600);
        EXPECT_EQ(static_cast<LONG>(info.nPage), bar == SB_HORZ ? client.right : client.bottom);
    }
    const int lineX = client.right / 20, lineY = client.bottom / 20;
    struct Step {
        const char* name;
        UINT message;  // WM_HSCROLL, WM_VSCROLL or WM_KEYDOWN
        WPARAM wParam;
        bool control;
        int expectedX, expectedY;
    } steps[] = {
        {"line right", WM_HSCROLL, SB_LINERIGHT, false, lineX, 0},
        {"arrow down", WM_KEYDOWN, VK_DOWN, false, lineX, lineY},
        {"page down", WM_KEYDOWN, VK_NEXT, false, lineX, lineY + client.bottom},
        {"ctrl page down", WM_KEYDOWN, VK_NEXT, true, lineX + client.right, lineY + client.bottom},
        {"page up", WM_VSCROLL, SB_PAGEUP, false, lineX + client.right, lineY},
        {"right end", WM_HSCROLL, SB_RIGHT, false, 4800 - client.right + 1, lineY},
    };
    BYTE keys[256]{};
    for (const Step& step : steps) {  // the last step lets Ctrl go again
        keys[VK_CONTROL] = step.control ? 0x80 : 0;
        SetKeyboardState(keys);
        SendMessageW(Window(), step.message, step.wParam, 0);
        EXPECT_EQ(GetScrollPos(Window(), SB_HORZ), step.expectedX) << step.name;
        EXPECT_EQ(GetScrollPos(Window(), SB_VERT), step.expectedY) << step.name;
    }
}

TEST_F(ViewerTest, WheelZoomsByWholeNotchesAndKeepsTheRest) {
    OpenViewer(MakeBitmap(100, 80, Gradient));
    // Each turn and the zoom after it. A reversal drops the rest (+60, -60 leaves -60, so -120
    // more makes one step); 0 stands for the window getting the focus, which drops it too.
    const struct {
        short delta;
        int percent;
    } turns[] = {{60, 100},  {60, 120},   {360, 250}, {60, 250},
                 {-60, 250}, {-120, 200}, {0, 200},   {-60, 200}};
    for (const auto& turn : turns) {
        SendMessageW(Window(), turn.delta ? WM_MOUSEWHEEL : WM_SETFOCUS,
                     MAKEWPARAM(0, static_cast<WORD>(turn.delta)), 0);
        EXPECT_STREQ(Title().CStr(), Tessel::Format("Glimpser (%i%%)", turn.percent).CStr())
            << turn.delta;
    }
}
