// WM_PAINT: the part of the zoomed image inside the update rectangle, and the
// application-workspace colour around the image.
#include "imaging/bitmap_utils.h"
#include "viewer/main_window.h"
#include "viewer/zoom_geometry.h"
#include "win/scoped_win.h"

namespace {

// Source pixels drawn beyond the update rectangle for a filtered stretch, so
// that each visible pixel blends the same neighbours as in a whole-image draw
// and strips painted one after another meet without seams.
constexpr int32_t kSmoothMargin = 4;

}  // namespace

LRESULT CMainWindow::OnPaint(UINT, WPARAM, LPARAM, bool&) {
    RECT client{};
    GetClientRect(hwnd, &client);
    Size zoomed = ZoomedImageSize();
    Point scroll = GetScrollPosition();
    Point origin{PaintOrigin(client.right, zoomed.cx, scroll.x),
                 PaintOrigin(client.bottom, zoomed.cy, scroll.y)};
    ScopedPaint paint(hwnd);
    if (image) {
        PaintImage(paint.Get(), paint.UpdateRect(), origin, zoomed);
        ExcludeClipRect(paint.Get(), origin.x, origin.y, origin.x + zoomed.cx,
                        origin.y + zoomed.cy);
    }
    FillRect(paint.Get(), &client, GetSysColorBrush(COLOR_APPWORKSPACE));
    return 0;
}

void CMainWindow::PaintImage(HDC dc, const RECT& update, Point origin, Size zoomed) {
    Size source = ImageSize();
    int32_t percent = ZoomSteps[zoomIndex];
    bool smooth = UsesSmoothStretch(smoothStretch, percent);
    int32_t margin = smooth ? kSmoothMargin : 0;
    PaintSpan across =
        VisiblePaintSpan(source.cx, zoomed.cx, origin.x, update.left, update.right, margin);
    PaintSpan down =
        VisiblePaintSpan(source.cy, zoomed.cy, origin.y, update.top, update.bottom, margin);
    if (across.sourceEnd <= across.sourceStart || down.sourceEnd <= down.sourceStart) {
        return;
    }
    int32_t sourceWidth = across.sourceEnd - across.sourceStart;
    int32_t sourceHeight = down.sourceEnd - down.sourceStart;

    if (smooth) {
        if (!smoothCache) {
            smoothCache = WrapBitmapForGdiplus(image.Get());
        }
        if (!smoothCache || !smoothCache->Native()) {
            return;
        }
        Gdiplus::GpGraphics* graphics = nullptr;
        if (Gdiplus::DllExports::GdipCreateFromHDC(dc, &graphics) != Gdiplus::Ok) {
            return;
        }
        // A view made from a bitmap handle is opaque, so copying gives what blending would,
        // without the blend per pixel.
        Gdiplus::DllExports::GdipSetCompositingMode(graphics, Gdiplus::CompositingModeSourceCopy);
        // Exact fractional placement, so that the part lands where it lies in
        // the whole zoomed image.
        double scaleX = static_cast<double>(zoomed.cx) / source.cx;
        double scaleY = static_cast<double>(zoomed.cy) / source.cy;
        Gdiplus::DllExports::GdipDrawImageRectRect(
            graphics, smoothCache->Native(),
            static_cast<Gdiplus::REAL>(origin.x + across.sourceStart * scaleX),
            static_cast<Gdiplus::REAL>(origin.y + down.sourceStart * scaleY),
            static_cast<Gdiplus::REAL>(sourceWidth * scaleX),
            static_cast<Gdiplus::REAL>(sourceHeight * scaleY),
            static_cast<Gdiplus::REAL>(across.sourceStart),
            static_cast<Gdiplus::REAL>(down.sourceStart), static_cast<Gdiplus::REAL>(sourceWidth),
            static_cast<Gdiplus::REAL>(sourceHeight), Gdiplus::UnitPixel, nullptr, nullptr,
            nullptr);
        Gdiplus::DllExports::GdipDeleteGraphics(graphics);
        return;
    }

    ScopedMemDC memory(dc);
    ScopedSelect select(memory.Get(), image.Get());
    int32_t clientWidth = across.clientEnd - across.clientStart;
    int32_t clientHeight = down.clientEnd - down.clientStart;
    if (percent == 100) {
        BitBlt(dc, across.clientStart, down.clientStart, clientWidth, clientHeight, memory.Get(),
               across.sourceStart, down.sourceStart, SRCCOPY);
    } else {
        StretchBlt(dc, across.clientStart, down.clientStart, clientWidth, clientHeight,
                   memory.Get(), across.sourceStart, down.sourceStart, sourceWidth, sourceHeight,
                   SRCCOPY);
    }
}
