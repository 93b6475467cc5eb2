#include "support/bitmap_pixels.h"

#include "imaging/bitmap_utils.h"

BITMAPINFO TopDown32BitInfo(int width, int height) {
    return Make32BitDibInfo(width, -height);
}

std::vector<uint32_t> BitmapPixels(HBITMAP bitmap) {
    const SIZE size = BitmapSize(bitmap);
    std::vector<uint32_t> pixels(static_cast<size_t>(size.cx) * size.cy);
    BITMAPINFO info = TopDown32BitInfo(size.cx, size.cy);
    const HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.cy), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

HBITMAP MakeSolidBitmap(int width, int height, COLORREF color) {
    const HDC screen = GetDC(nullptr);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HDC memory = CreateCompatibleDC(screen);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    const HBRUSH brush = CreateSolidBrush(color);
    const RECT all{0, 0, width, height};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bitmap;
}
