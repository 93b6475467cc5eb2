// What the viewer paints, read back from its client area.
#include "support/bitmap_pixels.h"
#include "viewer/viewer_fixture.h"
#include "viewer/zoom_geometry.h"
#include "win/command_ids.h"

namespace {

uint32_t Noise(int x, int y) {
    uint32_t h = static_cast<uint32_t>(x) * 2654435761u ^ static_cast<uint32_t>(y) * 40503u;
    return ((h ^ (h >> 13)) * 2246822519u) & 0xFFFFFF;
}

// The client area as a whole repaint draws it.
std::vector<uint32_t> RepaintWhole(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    return ReadClient(window);
}

// The whole image stretched by StretchBlt to where the viewer shows it, on the workspace colour.
std::vector<uint32_t> StretchedWhole(HWND window, HBITMAP image, int percent) {
    RECT client{};
    GetClientRect(window, &client);
    BITMAP info{};
    GetObjectW(image, sizeof info, &info);
    int zoomedWidth = info.bmWidth * percent / 100, zoomedHeight = info.bmHeight * percent / 100;
    int x = zoomedWidth < client.right ? (client.right - zoomedWidth) / 2
                                       : -GetScrollPos(window, SB_HORZ);
    int y = zoomedHeight < client.bottom ? (client.bottom - zoomedHeight) / 2
                                         : -GetScrollPos(window, SB_VERT);
    ScopedWindowDC screen(window);
    ScopedBitmap result(CreateCompatibleBitmap(screen.Get(), client.right, client.bottom));
    ScopedMemDC target(screen.Get()), source(screen.Get());
    {
        ScopedSelect selectTarget(target.Get(), result.Get()), selectSource(source.Get(), image);
        FillRect(target.Get(), &client, GetSysColorBrush(COLOR_APPWORKSPACE));
        StretchBlt(target.Get(), x, y, zoomedWidth, zoomedHeight, source.Get(), 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
    }
    return BitmapPixels(result.Get());
}

int CountDifferent(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size()) {
        return -1;
    }
    int different = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        different += (a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF);
    }
    return different;
}

}  // namespace

TEST_F(ViewerTest, SharpTwoHundredPercentIsCentredInTwoByTwoBlocksAndSmoothDiffers) {
    const ScopedBitmap image(MakeBitmap(24, 16, Noise));
    OpenViewer(MakeBitmap(24, 16, Noise));
    viewer->SetZoom(4);  // 200%, Automatic draws it sharp
    ASSERT_GE(ClientRect().right, 48);
    ASSERT_GE(ClientRect().bottom, 32);
    const std::vector<uint32_t> sharp = StretchedWhole(Window(), image.Get(), 200);
    EXPECT_EQ(CountDifferent(RepaintWhole(Window()), sharp), 0);
    // Smoothing blends neighbours inside the blocks.
    Command(ID_SMOOTH_ENABLED);
    EXPECT_GT(CountDifferent(RepaintWhole(Window()), sharp), 24 * 16);
}

// Scrolled-in strips, pans and invalidated slivers, each painted on its own, add up to exactly
// what one whole repaint draws, at every zoom, in both modes, on odd image sizes; sharp
// pixels are those StretchBlt gives the whole image.
TEST_F(ViewerTest, PiecewisePaintsMatchTheWholeRepaint) {
    const SIZE sizes[] = {{1201, 803}, {1, 1}, {7, 3000}};
    for (SIZE size : sizes) {
        OpenViewer(MakeBitmap(size.cx, size.cy, Noise));
        HWND window = Window();
        for (WORD mode : {ID_SMOOTH_DISABLED, ID_SMOOTH_ENABLED}) {
            Command(mode);
            for (int index = 0; index < kZoomStepCount; ++index) {
                SCOPED_TRACE(testing::Message() << size.cx << "x" << size.cy << " at "
                                                << ZoomSteps[index] << "% mode " << mode);
                viewer->SetZoom(index);
                // A small window on the screen (a tall image places it partly above) keeps
                // reading the screen back quick and true.
                ShowWindow(window, SW_RESTORE);
                SetWindowPos(window, nullptr, 0, 0, 420, 340, SWP_NOZORDER);
                RepaintWhole(window);
                // Each scroll repaints only the strip it uncovers.
                auto scroll = [window](UINT message, WORD code) {
                    SendMessageW(window, message, code, 0);
                    UpdateWindow(window);
                };
                for (int i = 0; i < 3; ++i) {
                    scroll(WM_VSCROLL, SB_LINEDOWN);
                    scroll(WM_HSCROLL, SB_LINERIGHT);
                }
                scroll(WM_VSCROLL, SB_PAGEDOWN);
                scroll(WM_HSCROLL, SB_PAGERIGHT);
                scroll(WM_VSCROLL, SB_LINEUP);
                // A thumb dragged to an arbitrary place, then a pan by the mouse.
                LONG style = GetWindowLongW(window, GWL_STYLE);
                if (style & WS_HSCROLL) {
                    SetScrollPos(window, SB_HORZ, GetScrollPos(window, SB_HORZ) * 2 / 3 + 7, TRUE);
                }
                if (style & WS_VSCROLL) {
                    SetScrollPos(window, SB_VERT, GetScrollPos(window, SB_VERT) * 3 / 4 + 5, TRUE);
                }
                viewer->ApplyScroll();
                UpdateWindow(window);
                // Without scroll bars a drag moves the window instead: no painting of ours.
                if (style & (WS_HSCROLL | WS_VSCROLL)) {
                    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 150));
                    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(213, 161));
                    UpdateWindow(window);
                    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(171, 133));
                    UpdateWindow(window);
                    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(171, 133));
                }
                for (int i = 0; i < 3; ++i) {
                    RECT column{97 + 2 * i, 0, 98 + 2 * i, 400},
                        row{0, 61 + 3 * i, 500, 62 + 3 * i};
                    InvalidateRect(window, &column, FALSE);
                    UpdateWindow(window);
                    InvalidateRect(window, &row, FALSE);
                    UpdateWindow(window);
                }
                std::vector<uint32_t> pieced = ReadClient(window);
                std::vector<uint32_t> whole = RepaintWhole(window);
                EXPECT_EQ(CountDifferent(pieced, whole), 0);
                if (mode == ID_SMOOTH_DISABLED) {
                    EXPECT_EQ(CountDifferent(
                                  whole, StretchedWhole(window, viewer->Image(), ZoomSteps[index])),
                              0);
                }
            }
        }
        CloseViewer();
    }
}
