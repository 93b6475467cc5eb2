// Fitting, zoom, scroll bars, keys and the wheel of a real viewer window.
#include "imaging/bitmap_utils.h"
#include "viewer/viewer_fixture.h"

namespace {

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

}  // namespace

// A zoom that does not fit maximizes the window; the window the viewer maximized is restored
// and fitted at the corner it had, while one the user maximized keeps its size.
TEST_F(ViewerTest, ZoomFitsOrMaximizesTheWindowAndTheWheelAndScrollBarsStepThroughIt) {
    RECT area{};
    GetDesktopWorkArea(&area);
    ASSERT_GE(area.right - area.left, 1000) << "the test display is too small";
    OpenViewer(MakeSolidBitmap(800, 600, RGB(20, 90, 160)));
    // The image plus its frame at 100%, with no bars. (The title follows every zoom in the wheel
    // walk below; the end-to-end runs read it on a fresh viewer.)
    auto expectFitted = [this](LONG left, LONG top) {
        RECT outer{0, 0, 800, 600};
        AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW | WS_VISIBLE, FALSE, 0);
        OffsetRect(&outer, left - outer.left, top - outer.top);
        RECT window = WindowRect(Window());
        EXPECT_TRUE(EqualRect(&window, &outer))
            << window.left << "," << window.top << " " << window.right << "," << window.bottom;
        EXPECT_FALSE(IsZoomed(Window()));
        EXPECT_EQ(GetWindowLongW(Window(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
    };
    expectFitted(0, 0);

    // Each turn and the zoom after it. A reversal drops the rest (+60, -60 leaves -60, so -60
    // more makes one step); 0 stands for the window getting the focus, which drops it too.
    const struct {
        short delta;
        int percent;
    } turns[] = {{60, 100},  {60, 120},  {360, 250}, {60, 250}, {-60, 250},
                 {-60, 200}, {-60, 200}, {0, 200},   {-60, 200}};
    for (const auto& turn : turns) {
        SendMessageW(Window(), turn.delta ? WM_MOUSEWHEEL : WM_SETFOCUS,
                     MAKEWPARAM(0, static_cast<WORD>(turn.delta)), 0);
        wchar_t title[32] = L"";
        GetWindowTextW(Window(), title, 32);
        EXPECT_EQ(std::wstring(title), L"Glimpser (" + std::to_wstring(turn.percent) + L"%)")
            << turn.delta;
    }

    viewer->SetZoom(9);  // 600%: 4800 by 3600, maximized since 250% did not fit
    EXPECT_TRUE(IsZoomed(Window()));
    RECT client{};
    GetClientRect(Window(), &client);
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
        // The bars range over the zoomed image, a client's extent to the page.
        {"right end", WM_HSCROLL, SB_RIGHT, false, 4800 - client.right + 1, lineY},
        {"bottom end", WM_VSCROLL, SB_BOTTOM, false, 4800 - client.right + 1,
         3600 - client.bottom + 1},
    };
    BYTE keys[256]{};
    for (const Step& step : steps) {  // the last step lets Ctrl go again
        keys[VK_CONTROL] = step.control ? 0x80 : 0;
        SetKeyboardState(keys);
        SendMessageW(Window(), step.message, step.wParam, 0);
        EXPECT_EQ(GetScrollPos(Window(), SB_HORZ), step.expectedX) << step.name;
        EXPECT_EQ(GetScrollPos(Window(), SB_VERT), step.expectedY) << step.name;
    }

    const RECT maximized = WindowRect(Window());
    Command(ID_ZOOM_100);
    expectFitted(maximized.left, maximized.top);
    // The bars come back with the zoom, though their ranges are those they had.
    viewer->SetZoom(9);
    EXPECT_EQ(GetWindowLongW(Window(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL),
              WS_HSCROLL | WS_VSCROLL);
    Command(ID_ZOOM_100);

    ShowWindow(Window(), SW_MAXIMIZE);
    const RECT userMaximized = WindowRect(Window());
    viewer->SetZoom(9);
    viewer->SetZoom(1);
    RECT window = WindowRect(Window());
    EXPECT_TRUE(IsZoomed(Window()) && EqualRect(&window, &userMaximized));
    EXPECT_EQ(GetWindowLongW(Window(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
}

// Steps between images larger than the screen keep both bars, whether the window is placed
// anew (another size) or left as the last placement made it (the same size).
TEST_F(ViewerTest, StepsBetweenImagesLargerThanTheScreenKeepBothBars) {
    const int width = GetSystemMetrics(SM_CXSCREEN) + 300;
    const int height = GetSystemMetrics(SM_CYSCREEN) + 200;
    for (int number = 1; number <= 3; ++number) {
        ScopedBitmap bitmap(
            MakeSolidBitmap(width + (number == 1 ? 40 : 0), height, RGB(0, 0, number * 60)));
        ASSERT_TRUE(SaveImage(bitmap.Get(), HistoryPath(number), 96)) << number;
    }
    OpenViewer();
    const struct {
        WORD command;
        int shown;
    } steps[] = {{0, 3}, {ID_PREVIOUS, 2}, {ID_PREVIOUS, 1}, {ID_NEXT, 2}, {ID_NEXT, 3}};
    for (const auto& step : steps) {
        PumpMessagesFor(300);  // for the read ahead to be handed back
        if (step.command) {
            Command(step.command);
        }
        EXPECT_STREQ(viewer->CurrentPath().CStr(), HistoryPath(step.shown).CStr());
        EXPECT_EQ(GetWindowLongW(Window(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL),
                  WS_HSCROLL | WS_VSCROLL)
            << step.shown;
    }
}
