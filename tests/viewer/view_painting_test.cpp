// What the viewer paints, read back from its client area.
#include "imaging/bitmap_utils.h"
#include "viewer/viewer_fixture.h"
#include "viewer/zoom_geometry.h"

namespace {

// The client area as a whole repaint draws it.
std::vector<uint32_t> RepaintWhole(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    return ReadWindowPixels(window);
}

// The whole image stretched by StretchBlt to where the viewer shows it, on the workspace colour.
std::vector<uint32_t> StretchedWhole(HWND window, HBITMAP image, int percent) {
    RECT client{};
    GetClientRect(window, &client);
    const SIZE size = BitmapSize(image);
    const int width = size.cx * percent / 100, height = size.cy * percent / 100;
    const int x =
        width < client.right ? (client.right - width) / 2 : -GetScrollPos(window, SB_HORZ);
    const int y =
        height < client.bottom ? (client.bottom - height) / 2 : -GetScrollPos(window, SB_VERT);
    ScopedWindowDC screen(window);
    ScopedBitmap result(CreateCompatibleBitmap(screen.Get(), client.right, client.bottom));
    ScopedMemDC target(screen.Get()), source(screen.Get());
    {
        ScopedSelect selectTarget(target.Get(), result.Get()), selectSource(source.Get(), image);
        FillRect(target.Get(), &client, GetSysColorBrush(COLOR_APPWORKSPACE));
        StretchBlt(target.Get(), x, y, width, height, source.Get(), 0, 0, size.cx, size.cy,
                   SRCCOPY);
    }
    return BitmapPixels(result.Get());
}

// Noise in an upright (bottom-up) 32-bit DIB section, as an image file is read into.
HBITMAP MakeUprightNoiseBitmap(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    for (int y = 0; bitmap && y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            static_cast<uint32_t*>(bits)[(height - 1 - y) * width + x] = Noise(x, y) & 0xFFFFFF;
        }
    }
    return bitmap;
}

}  // namespace

// Scrolled-in strips, pans and invalidated slivers, each painted on its own, add up to exactly
// what one whole repaint draws, at every zoom, in both modes, on odd image sizes. Sharp pixels
// are those StretchBlt gives the whole image; smoothing blends neighbours, so its pixels differ
// from them but on a single pixel. Top-down images and upright ones are read in place, a
// capture's pixels are copied out.
TEST_F(ViewerTest, PiecewisePaintsMatchTheWholeRepaint) {
    struct Image {
        SIZE size;
        HBITMAP (*make)(int width, int height);
    } images[] = {{{1201, 803}, MakeNoiseBitmap},
                  {{1, 1}, MakeNoiseBitmap},
                  {{7, 3000}, MakeNoiseBitmap},
                  {{301, 203}, MakeUprightNoiseBitmap},
                  {{301, 203}, [](int width, int height) {
                       ScopedBitmap noise(MakeNoiseBitmap(width, height));
                       return CopyBitmapScaled(noise.Get(), 1.0);
                   }}};
    for (const Image& image : images) {
        const SIZE size = image.size;
        OpenViewer(image.make(size.cx, size.cy));
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
                // A thumb dragged to an arbitrary place.
                const LONG style = GetWindowLongW(window, GWL_STYLE);
                if (style & WS_HSCROLL) {
                    SetScrollPos(window, SB_HORZ, 7, TRUE);
                }
                if (style & WS_VSCROLL) {
                    SetScrollPos(window, SB_VERT, 5, TRUE);
                }
                viewer->ApplyScroll();
                UpdateWindow(window);
                // Each scroll repaints only the strip it uncovers (SB_LINEDOWN is SB_LINERIGHT).
                for (WORD code : {SB_LINEDOWN, SB_LINEDOWN, SB_PAGEDOWN, SB_LINEUP}) {
                    for (UINT message : {WM_VSCROLL, WM_HSCROLL}) {
                        SendMessageW(window, message, code, 0);
                        UpdateWindow(window);
                    }
                }
                // A pan by the mouse, which moves the window instead where there are no bars.
                SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(171, 133));
                for (LPARAM at : {MAKELPARAM(213, 161), MAKELPARAM(200, 150)}) {
                    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, at);
                    UpdateWindow(window);
                }
                SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(200, 150));
                for (int i = 0; i < 3; ++i) {
                    RECT column{97 + 2 * i, 0, 98 + 2 * i, 400},
                        row{0, 61 + 3 * i, 500, 62 + 3 * i};
                    InvalidateRect(window, &column, FALSE);
                    UpdateWindow(window);
                    InvalidateRect(window, &row, FALSE);
                    UpdateWindow(window);
                }
                const std::vector<uint32_t> pieced = ReadWindowPixels(window);
                const std::vector<uint32_t> whole = RepaintWhole(window);
                EXPECT_TRUE(pieced == whole);
                const bool smooth = UsesSmoothStretch(mode == ID_SMOOTH_ENABLED, ZoomSteps[index]);
                EXPECT_EQ(whole == StretchedWhole(window, viewer->Image(), ZoomSteps[index]),
                          !smooth || size.cx == 1);
            }
        }
        CloseViewer();
    }
}
