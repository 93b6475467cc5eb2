#include "support/realistic_picture.h"

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/bitmap_utils.h"
#include "win/scoped_win.h"

namespace {

// Value noise summed over octaves: smooth at large scale, grainy at small, like a photo.
std::vector<uint32_t> FractalNoise(int width, int height) {
    std::vector<float> sum(static_cast<size_t>(width) * height * 3, 0.0f);
    uint32_t seed = 7;
    float amplitude = 0.5f;
    for (int cell = 512; cell >= 2; cell /= 2, amplitude *= 0.55f) {
        const int columns = width / cell + 2;
        std::vector<float> lattice(static_cast<size_t>(columns) * (height / cell + 2) * 3);
        for (float& value : lattice) {
            seed = seed * 1664525u + 1013904223u;
            value = static_cast<float>(seed >> 8) / 16777216.0f;
        }
        for (int y = 0; y < height; ++y) {
            const float fy = static_cast<float>(y % cell) / static_cast<float>(cell);
            for (int x = 0; x < width; ++x) {
                const float fx = static_cast<float>(x % cell) / static_cast<float>(cell);
                // The lattice values at the cell's four corners, three channels each.
                const float* top =
                    &lattice[(static_cast<size_t>(y / cell) * columns + x / cell) * 3];
                const float* bottom = top + static_cast<size_t>(columns) * 3;
                for (int k = 0; k < 3; ++k) {
                    const float upper = top[k] + (top[k + 3] - top[k]) * fx;
                    const float lower = bottom[k] + (bottom[k + 3] - bottom[k]) * fx;
                    sum[(static_cast<size_t>(y) * width + x) * 3 + k] +=
                        amplitude * (upper + (lower - upper) * fy);
                }
            }
        }
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i) {
        for (int k = 0; k < 3; ++k) {
            const float value = (sum[i * 3 + k] - 0.25f) * 255.0f;
            pixels[i] = pixels[i] << 8 | static_cast<uint32_t>(value < 0     ? 0
                                                               : value > 255 ? 255
                                                                             : value);
        }
    }
    return pixels;
}

}  // namespace

HBITMAP MakeRealisticPicture(int width, int height) {
    const ScopedWindowDC screen(nullptr);
    const HBITMAP picture = CreateCompatibleBitmap(screen.Get(), width, height);
    const std::vector<uint32_t> noise = FractalNoise(width, height);
    const BITMAPINFO info = Make32BitDibInfo(width, -height);
    SetDIBits(screen.Get(), picture, 0, static_cast<UINT>(height), noise.data(), &info,
              DIB_RGB_COLORS);

    const ScopedMemDC memory(screen.Get());
    const ScopedSelect selectPicture(memory.Get(), picture);
    const int scale = height / 1080 > 1 ? height / 1080 : 1;  // text grows with the screen
    const ScopedGdiObject<HFONT> font(CreateFontW(-15 * scale, 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                                  FALSE, DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY,
                                                  0, L"Tahoma"));
    const ScopedSelect selectFont(memory.Get(), font.Get());
    const RECT bar{0, 0, width, 40 * scale};
    const RECT page{width / 2, bar.bottom + 10 * scale, width, height};
    FillRect(memory.Get(), &bar, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    FillRect(memory.Get(), &page, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(memory.Get(), TRANSPARENT);
    const std::wstring menu = L"File   Edit   View   Window   Help";
    TextOutW(memory.Get(), 10 * scale, 12 * scale, menu.c_str(), static_cast<int>(menu.size()));
    for (int y = page.top + 20 * scale; y < height - 20 * scale; y += 22 * scale) {
        const std::wstring line = L"Line " + std::to_wstring(y) +
                                  L": The quick brown fox jumps over the lazy dog. 0123456789 "
                                  L"(){}[] Glimpser captures";
        TextOutW(memory.Get(), page.left + 30 * scale, y, line.c_str(),
                 static_cast<int>(line.size()));
    }
    return picture;
}
