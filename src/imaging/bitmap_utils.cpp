#include "imaging/bitmap_utils.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "imaging/scaled_size.h"
#include "imaging/work_area.h"
#include "win/scoped_win.h"
#include "win/win_rect.h"

using namespace Gdiplus::DllExports;
using Gdiplus::ARGB;
using Gdiplus::BitmapData;
using Gdiplus::ColorPalette;
using Gdiplus::GpGraphics;
using Gdiplus::GpRect;
using Gdiplus::ImageLockModeRead;
using Gdiplus::Ok;
using Gdiplus::PixelFormat;

namespace {

// The pixel formats whose bytes a DIB holds unchanged; 0 for the others.
WORD DibBitCount(PixelFormat format) {
    switch (format) {
        case PixelFormat1bppIndexed:
            return 1;
        case PixelFormat4bppIndexed:
            return 4;
        case PixelFormat8bppIndexed:
            return 8;
        case PixelFormat16bppRGB555:
            return 16;
        case PixelFormat24bppRGB:
            return 24;
        case PixelFormat32bppRGB:
        case PixelFormat32bppARGB:
            return 32;
        default:
            return 0;
    }
}

constexpr UINT kMaxColors = 256;

struct DibHeader {
    BITMAPINFOHEADER header;
    RGBQUAD colors[kMaxColors];
};

// Fills the colour table from the image's palette; returns the number of entries. A DIB
// table holds at most 2^bits (and never more than 256) entries, whatever the palette claims.
UINT ReadPalette(const GdiplusBitmap& bitmap, WORD bitCount, RGBQUAD* colors) {
    union {
        ColorPalette palette;
        BYTE bytes[sizeof(ColorPalette) + (kMaxColors - 1) * sizeof(ARGB)];
    } buffer{};
    INT size = 0;
    bitmap.Record(GdipGetImagePaletteSize(bitmap.Native(), &size));
    if (size < static_cast<INT>(sizeof(ColorPalette)) ||
        size > static_cast<INT>(sizeof(buffer.bytes)) ||
        bitmap.Record(GdipGetImagePalette(bitmap.Native(), &buffer.palette, size)) != Ok) {
        return 0;
    }
    UINT count = buffer.palette.Count;
    const UINT held = static_cast<UINT>(
        (static_cast<size_t>(size) - offsetof(ColorPalette, Entries)) / sizeof(ARGB));
    const UINT tableSize = bitCount < 8 ? 1u << bitCount : kMaxColors;
    count = std::min({count, held, tableSize});
    for (UINT i = 0; i < count; ++i) {
        // Entries is declared with one element; the others follow it in the buffer.
        ARGB entry = 0;
        std::memcpy(&entry, buffer.bytes + offsetof(ColorPalette, Entries) + i * sizeof(ARGB),
                    sizeof(entry));
        colors[i] = RGBQUAD{static_cast<BYTE>(entry), static_cast<BYTE>(entry >> 8),
                            static_cast<BYTE>(entry >> 16), 0};
    }
    return count;
}

// Copies the image upright into the bottom-up DIB, one block move per row.
bool CopyRows(const GdiplusBitmap& bitmap, PixelFormat format, INT width, INT height,
              const DIBSECTION& section) {
    BitmapData data{};
    const GpRect whole{0, 0, width, height};
    if (bitmap.Record(
            GdipBitmapLockBits(bitmap.Native(), &whole, ImageLockModeRead, format, &data)) != Ok) {
        return false;
    }
    bool copied = false;
    if (data.Scan0 != nullptr) {
        const ptrdiff_t stride = data.Stride;
        const size_t rowBytes = std::min(static_cast<size_t>(std::abs(stride)),
                                         static_cast<size_t>(section.dsBm.bmWidthBytes));
        const BYTE* source = static_cast<const BYTE*>(data.Scan0);
        BYTE* target = static_cast<BYTE*>(section.dsBm.bmBits);
        for (INT k = 0; k < height; ++k) {
            std::memcpy(target + static_cast<ptrdiff_t>(k) * section.dsBm.bmWidthBytes,
                        source + static_cast<ptrdiff_t>(height - 1 - k) * stride, rowBytes);
        }
        copied = true;
    }
    bitmap.Record(GdipBitmapUnlockBits(bitmap.Native(), &data));
    return copied;
}

template <class Function>
Function LookUpUser32(const char* name) {
    // Through a generic function pointer: casting FARPROC straight to another signature warns.
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"User32.dll"), name)));
}

}  // namespace

Tessel::OwnedPtr<GdiplusBitmap> WrapBitmapForGdiplus(HBITMAP bitmap) {
    Tessel::OwnedPtr<GdiplusBitmap> wrapper(new GdiplusBitmap);
    if (wrapper) {
        wrapper->CreateFromHBITMAP(bitmap);
    }
    return wrapper;
}

Tessel::OwnedPtr<GdiplusBitmap> LoadBitmapForGdiplus(const Tessel::String& path) {
    Tessel::OwnedPtr<GdiplusBitmap> image(new GdiplusBitmap);
    if (image) {
        image->CreateFromFile(path);
    }
    return image;
}

HBITMAP BitmapFromGdiplus(const GdiplusBitmap* bitmap) {
    if (bitmap == nullptr || bitmap->Native() == nullptr) {
        return nullptr;
    }
    PixelFormat format = 0;
    bitmap->Record(GdipGetImagePixelFormat(bitmap->Native(), &format));
    const WORD bitCount = DibBitCount(format);
    if (bitCount == 0) {
        return nullptr;
    }
    UINT width = 0;
    UINT height = 0;
    bitmap->Record(GdipGetImageWidth(bitmap->Native(), &width));
    bitmap->Record(GdipGetImageHeight(bitmap->Native(), &height));
    if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX) {
        return nullptr;
    }

    DibHeader info{};
    const UINT colors = ReadPalette(*bitmap, bitCount, info.colors);
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = static_cast<LONG>(width);
    info.header.biHeight = static_cast<LONG>(height);  // positive: bottom-up
    info.header.biPlanes = 1;
    info.header.biBitCount = bitCount;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = colors;
    info.header.biClrImportant = colors;

    // An enormous image fails here rather than later: no section, no pixels to write to.
    void* bits = nullptr;
    ScopedBitmap dib(CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info),
                                      DIB_RGB_COLORS, &bits, nullptr, 0));
    DIBSECTION section{};
    if (!dib || bits == nullptr || GetObjectW(dib.Get(), sizeof(section), &section) == 0 ||
        section.dsBm.bmBits == nullptr) {
        return nullptr;
    }
    // A truncated file can decode its header and still fail to deliver its pixels.
    if (!CopyRows(*bitmap, format, static_cast<INT>(width), static_cast<INT>(height), section)) {
        return nullptr;
    }
    if (colors > 0) {
        ScopedDC display(CreateDCW(L"display", nullptr, nullptr, nullptr));
        ScopedMemDC memory(display.Get());
        ScopedSelect select(memory.Get(), dib.Get());
        SetDIBColorTable(memory.Get(), 0, colors, info.colors);
    }
    return dib.Release();
}

HBITMAP CopyBitmapScaled(HBITMAP bitmap, double factor) {
    BITMAP source{};
    GetObjectW(bitmap, sizeof(source), &source);
    const ScopedIC display(L"display");
    const ScopedMemDC target(display.Get());
    const int width = ScaleLength(source.bmWidth, factor);
    const int height = ScaleLength(source.bmHeight, factor);
    HBITMAP copy = CreateCompatibleBitmap(display.Get(), width, height);
    const ScopedSelect selectCopy(target.Get(), copy);
    if (factor != 1.0) {
        const Tessel::OwnedPtr<GdiplusBitmap> wrapper = WrapBitmapForGdiplus(bitmap);
        GpGraphics* graphics = nullptr;
        if (wrapper && GdipCreateFromHDC(target.Get(), &graphics) == Ok) {
            wrapper->Record(GdipDrawImageRectI(graphics, wrapper->Native(), 0, 0, width, height));
            GdipDeleteGraphics(graphics);
        }
    } else {
        const ScopedMemDC sourceDC(display.Get());
        const ScopedSelect selectSource(sourceDC.Get(), bitmap);
        BitBlt(target.Get(), 0, 0, source.bmWidth, source.bmHeight, sourceDC.Get(), 0, 0, SRCCOPY);
    }
    return copy;
}

BITMAPINFO Make32BitDibInfo(int32_t width, int32_t height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

uint32_t GetScreenDpi() {
    static uint32_t dpi = 0;
    if (dpi == 0) {
        const ScopedIC display(L"display");
        dpi = static_cast<uint32_t>(GetDeviceCaps(display.Get(), LOGPIXELSX));
    }
    return dpi;
}

void GetDesktopWorkArea(RECT* area) {
    RECT primaryWork{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &primaryWork, 0);
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const Rect virtualScreen{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                             top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};

    MonitorArea primary;
    bool havePrimary = false;
    if (virtualScreen.right != virtualScreen.left) {
        const auto monitorFromRect = LookUpUser32<decltype(&MonitorFromRect)>("MonitorFromRect");
        const auto getMonitorInfo = LookUpUser32<decltype(&GetMonitorInfoA)>("GetMonitorInfoA");
        if (monitorFromRect != nullptr && getMonitorInfo != nullptr) {
            MONITORINFO info{};
            info.cbSize = sizeof(info);
            havePrimary =
                getMonitorInfo(monitorFromRect(&primaryWork, MONITOR_DEFAULTTOPRIMARY), &info) != 0;
            primary = MonitorArea{ToRect(info.rcMonitor), ToRect(info.rcWork)};
        }
    }
    *area = ToRECT(
        DesktopWorkArea(ToRect(primaryWork), virtualScreen, havePrimary ? &primary : nullptr));
}

HICON LoadIconAtSize(uint16_t id, bool large) {
    const int width = GetSystemMetrics(large ? SM_CXICON : SM_CXSMICON);
    const int height = GetSystemMetrics(large ? SM_CYICON : SM_CYSMICON);
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                         IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
}
