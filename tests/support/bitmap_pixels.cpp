#include "support/bitmap_pixels.h"

#include "imaging/bitmap_utils.h"
#include "win/scoped_win.h"

std::vector<uint32_t> BitmapPixels(HBITMAP bitmap) {
    const SIZE size = BitmapSize(bitmap);
    std::vector<uint32_t> pixels(static_cast<size_t>(size.cx) * size.cy);
    BITMAPINFO info = Make32BitDibInfo(size.cx, -size.cy);
    GetDIBits(ScopedWindowDC(nullptr).Get(), bitmap, 0, static_cast<UINT>(size.cy), pixels.data(),
              &info, DIB_RGB_COLORS);
    for (uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

HBITMAP MakeDibSection(int width, int height, uint32_t (*pixel)(int x, int y)) {
    const BITMAPINFO info = Make32BitDibInfo(width, -height);
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    for (int i = 0; bits != nullptr && i < width * height; ++i) {
        static_cast<uint32_t*>(bits)[i] = pixel(i % width, i / width);
    }
    return bitmap;
}

HBITMAP MakeSolidBitmap(int width, int height, COLORREF color) {
    const ScopedWindowDC screen(nullptr);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen.Get(), width, height);
    const ScopedMemDC memory(screen.Get());
    const ScopedSelect select(memory.Get(), bitmap);
    const ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(color));
    const RECT all{0, 0, width, height};
    FillRect(memory.Get(), &all, brush.Get());
    return bitmap;
}
