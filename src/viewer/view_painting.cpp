// WM_PAINT: the zoomed image, and the application-workspace colour around it.
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <utility>

#include "imaging/bitmap_utils.h"
#include "imaging/zoom_scaler.h"
#include "viewer/main_window.h"
#include "viewer/zoom_geometry.h"
#include "win/scoped_win.h"

namespace {

// Pixels per band of image rows copied out for the scaler (1 MB).
constexpr int32_t kBandPixels = 1 << 18;
// Client rows per band drawn and blitted: a band of a 4K-wide client is 1 MB, well inside a
// processor's cache.
constexpr int32_t kOutputBandRows = 64;

// The rows of a 32-bit DIB section, readable in place, and which end of its memory holds the
// image's top row.
struct RowsInPlace {
    const uint32_t* pixels = nullptr;
    bool bottomUp = false;
};

bool SameColors(const uint32_t* a, const uint32_t* b, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        if (((a[i] ^ b[i]) & 0xFFFFFF) != 0) {
            return false;
        }
    }
    return true;
}

// None unless the bitmap is a 32-bit DIB section whose top row is told apart from its bottom
// one: GetObject reports a top-down section like an upright one, so the top row is read through
// GDI and looked for at either end of the memory. The bitmap may not be selected into a DC.
RowsInPlace FindRowsInPlace(HDC dc, HBITMAP bitmap, Size image) {
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof section, &section) != sizeof section || !section.dsBm.bmBits ||
        section.dsBmih.biBitCount != 32 || section.dsBmih.biCompression != BI_RGB ||
        section.dsBm.bmWidth != image.cx || section.dsBm.bmHeight != image.cy) {
        return RowsInPlace{};
    }
    // Drawing on the bitmap may still be queued.
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(section.dsBm.bmBits);
    if (image.cy == 1) {
        return RowsInPlace{pixels, false};
    }
    std::unique_ptr<uint32_t[]> top(new (std::nothrow) uint32_t[image.cx]);
    BITMAPINFO info = Make32BitDibInfo(image.cx, image.cy);
    if (!top || GetDIBits(dc, bitmap, static_cast<UINT>(image.cy - 1), 1, top.get(), &info,
                          DIB_RGB_COLORS) != 1) {
        return RowsInPlace{};
    }
    const bool first = SameColors(top.get(), pixels, image.cx);
    const bool last =
        SameColors(top.get(), pixels + static_cast<int64_t>(image.cy - 1) * image.cx, image.cx);
    return first == last ? RowsInPlace{} : RowsInPlace{pixels, last};
}

// The image's rows as 32-bit pixels: read in place where they can be, else copied band by band
// into a small DIB section (an image file that GDI+ decodes may come in any bit depth).
class BandSource final : public ScalerSource {
public:
    BandSource(HDC imageDC, Size image, RowsInPlace rows)
        : imageDC(imageDC),
          image(image),
          inPlace(rows.pixels),
          bottomUp(rows.bottomUp),
          bandDC(imageDC) {}

    bool Columns(int32_t first, int32_t end) override {
        if (inPlace) {
            firstColumn = first;
            columns = end - first;
            if (columns > lastRowColumns) {
                lastRow.reset(new (std::nothrow) uint32_t[columns + kScalerRowPadding]());
                lastRowColumns = lastRow ? columns : 0;
            }
            return lastRow != nullptr;
        }
        if (band && first == firstColumn && end - first == columns) {
            return true;  // the next band of output rows over the same columns
        }
        firstColumn = first;
        columns = end - first;
        width = columns + kScalerRowPadding;
        rows = kBandPixels / width;
        rows = rows < 1 ? 1 : (rows > image.cy ? image.cy : rows);
        top = filled = 0;
        select.reset();
        BITMAPINFO info = Make32BitDibInfo(width, -rows);
        void* bits = nullptr;
        band.Reset(CreateDIBSection(imageDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!band || !bandDC.Get()) {
            return false;
        }
        pixels = static_cast<uint32_t*>(bits);
        select.emplace(bandDC.Get(), band.Get());
        return true;
    }

    const uint32_t* Row(int32_t y) override {
        if (inPlace) {
            return RowInPlace(y);
        }
        if (y < top || y >= top + filled) {
            top = y;
            filled = image.cy - y < rows ? image.cy - y : rows;
            BitBlt(bandDC.Get(), 0, 0, columns, filled, imageDC, firstColumn, y, SRCCOPY);
            // The pixels are read directly next; no drawing may still be queued.
            GdiFlush();
        }
        return pixels + static_cast<int64_t>(y - top) * width;
    }

private:
    const uint32_t* RowInPlace(int32_t y) {
        const int64_t memoryRow = bottomUp ? image.cy - 1 - y : y;
        const uint32_t* row = inPlace + memoryRow * image.cx;
        if (memoryRow < image.cy - 1 || firstColumn + columns + kScalerRowPadding <= image.cx) {
            return row + firstColumn;
        }
        // The last row in memory: the padding the scaler may read past it is not there.
        std::memcpy(lastRow.get(), row + firstColumn,
                    sizeof(uint32_t) * static_cast<size_t>(columns));
        return lastRow.get();
    }

    HDC imageDC;
    Size image;
    const uint32_t* inPlace;
    bool bottomUp;
    std::unique_ptr<uint32_t[]> lastRow;
    int32_t lastRowColumns = 0;
    ScopedMemDC bandDC;
    ScopedBitmap band;
    std::optional<ScopedSelect> select;
    uint32_t* pixels = nullptr;
    int32_t firstColumn = 0, columns = 0, width = 0, rows = 0;
    int32_t top = 0, filled = 0;
};

}  // namespace

LRESULT CMainWindow::OnPaint(UINT, WPARAM, LPARAM, bool&) {
    RECT client{};
    GetClientRect(hwnd, &client);
    Size zoomed = ZoomedImageSize();
    Point scroll = GetScrollPosition();
    Point origin{PaintOrigin(client.right, zoomed.cx, scroll.x),
                 PaintOrigin(client.bottom, zoomed.cy, scroll.y)};
    {
        ScopedPaint paint(hwnd);
        if (image) {
            PaintImage(paint.Get(), paint.UpdateRect(), client, origin, zoomed);
            ExcludeClipRect(paint.Get(), origin.x, origin.y, origin.x + zoomed.cx,
                            origin.y + zoomed.cy);
        }
        FillRect(paint.Get(), &client, GetSysColorBrush(COLOR_APPWORKSPACE));
    }
    // The first paint of a new window is done: the read it held back may start.
    if (!readAheadAfterPaint.IsEmpty()) {
        readAhead.Start(hwnd, std::exchange(readAheadAfterPaint, Tessel::String()));
    }
    return 0;
}

void CMainWindow::PaintImage(HDC dc, const RECT& update, const RECT& client, Point origin,
                             Size zoomed) {
    Size source = ImageSize();
    int32_t percent = ZoomSteps[zoomIndex];
    bool smooth = UsesSmoothStretch(smoothStretch, percent);
    const bool direct = percent == 100 || (!smooth && percent < 100);
    ScopedMemDC memory(dc);
    const RowsInPlace inPlace =
        direct ? RowsInPlace{} : FindRowsInPlace(memory.Get(), image.Get(), source);
    ScopedSelect select(memory.Get(), image.Get());
    if (percent == 100) {
        BitBlt(dc, origin.x, origin.y, zoomed.cx, zoomed.cy, memory.Get(), 0, 0, SRCCOPY);
        return;
    }
    if (!smooth && percent < 100) {
        // The whole image, whose zoomed size is small here; GDI clips it to the update region.
        StretchBlt(dc, origin.x, origin.y, zoomed.cx, zoomed.cy, memory.Get(), 0, 0, source.cx,
                   source.cy, SRCCOPY);
        return;
    }
    RECT shown{origin.x, origin.y, origin.x + zoomed.cx, origin.y + zoomed.cy};
    RECT visible{};
    if (!IntersectRect(&visible, &shown, &update) || !IntersectRect(&visible, &visible, &client)) {
        return;
    }
    int32_t width = visible.right - visible.left;
    int32_t height = visible.bottom - visible.top;
    // Output rows go through the buffer a band at a time, so that they are still in the
    // processor's cache when they are blitted.
    int32_t bandRows = height < kOutputBandRows ? height : kOutputBandRows;
    if (!ReservePaintBuffer(dc, Size{width, bandRows})) {
        return;
    }
    BandSource rows(memory.Get(), source, inPlace);
    ScopedMemDC buffer(dc);
    ScopedSelect selectBuffer(buffer.Get(), paintBuffer.Get());
    for (int32_t top = visible.top; top < visible.bottom; top += bandRows) {
        int32_t count = visible.bottom - top < bandRows ? visible.bottom - top : bandRows;
        Rect target{visible.left - origin.x, top - origin.y, visible.right - origin.x,
                    top + count - origin.y};
        if (!scaler.Draw(rows, smooth ? ScaleFilter::kSmooth : ScaleFilter::kSharp, source, zoomed,
                         target, paintPixels, paintBufferSize.cx)) {
            return;
        }
        BitBlt(dc, visible.left, top, width, count, buffer.Get(), 0, 0, SRCCOPY);
        // The next band overwrites the pixels; the blit must have read them.
        GdiFlush();
    }
}

bool CMainWindow::ReservePaintBuffer(HDC dc, Size size) {
    if (paintBuffer && size.cx <= paintBufferSize.cx && size.cy <= paintBufferSize.cy) {
        return true;
    }
    // Grows with the client's width and is kept: one buffer whatever the zoom.
    Size grown{size.cx > paintBufferSize.cx ? size.cx : paintBufferSize.cx,
               size.cy > paintBufferSize.cy ? size.cy : paintBufferSize.cy};
    paintBuffer.Reset();
    paintBufferSize = Size{0, 0};
    BITMAPINFO info = Make32BitDibInfo(grown.cx, -grown.cy);
    void* bits = nullptr;
    paintBuffer.Reset(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!paintBuffer) {
        return false;
    }
    paintPixels = static_cast<uint32_t*>(bits);
    paintBufferSize = grown;
    return true;
}
