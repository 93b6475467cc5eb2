// The smooth zoom against GDI+'s default (bilinear) drawing of the same image.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "imaging/gdiplus_api.h"
#include "imaging/gdiplus_lifetime.h"
#include "imaging/scaler_test_image.h"
#include "support/bitmap_pixels.h"
#include "win/scoped_win.h"

namespace {

constexpr int kWidth = 61, kHeight = 37;

// Soft shapes with some grain.
uint32_t Photo(int x, int y) {
    int r = 128 + static_cast<int>(100 * std::sin(x / 5.0) * std::cos(y / 7.0));
    int g = 120 + static_cast<int>(90 * std::sin((x + y) / 9.0));
    int b = 100 + static_cast<int>(80 * std::cos((x - 2 * y) / 11.0)) + ((x * 7 + y * 13) % 9);
    return static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 |
           static_cast<uint32_t>(b);
}

// Dark one-pixel strokes on a light page.
uint32_t Text(int x, int y) {
    bool ink = (y % 9 == 2 && x % 7 < 5) || (x % 7 == 1 && y % 9 > 2 && y % 9 < 8) ||
               (x % 7 == 4 && (x / 7 + y / 9) % 2 == 0 && y % 9 > 4 && y % 9 < 8);
    return ink ? 0x101418u : 0xF6F4EEu;
}

// GDI+ draws the image at the zoomed size with its default interpolation. The edges are
// mirrored rather than faded to transparent, which is what the scaler does past the last pixel.
std::vector<uint32_t> DrawnByGdiplus(const std::vector<uint32_t>& image, Size zoomed) {
    ScopedWindowDC screen(nullptr);
    BITMAPINFO sourceInfo = TopDown32BitInfo(kWidth, kHeight);
    void* sourceBits = nullptr;
    ScopedBitmap source(
        CreateDIBSection(screen.Get(), &sourceInfo, DIB_RGB_COLORS, &sourceBits, nullptr, 0));
    std::copy(image.begin(), image.end(), static_cast<uint32_t*>(sourceBits));
    BITMAPINFO targetInfo = TopDown32BitInfo(zoomed.cx, zoomed.cy);
    void* targetBits = nullptr;
    ScopedBitmap target(
        CreateDIBSection(screen.Get(), &targetInfo, DIB_RGB_COLORS, &targetBits, nullptr, 0));
    ScopedMemDC memory(screen.Get());
    ScopedSelect select(memory.Get(), target.Get());
    using namespace Gdiplus::DllExports;
    Gdiplus::GpBitmap* bitmap = nullptr;
    Gdiplus::GpGraphics* graphics = nullptr;
    Gdiplus::GpImageAttributes* attributes = nullptr;
    EXPECT_EQ(GdipCreateBitmapFromHBITMAP(source.Get(), nullptr, &bitmap), Gdiplus::Ok);
    EXPECT_EQ(GdipCreateFromHDC(memory.Get(), &graphics), Gdiplus::Ok);
    GdipCreateImageAttributes(&attributes);
    GdipSetImageAttributesWrapMode(attributes, Gdiplus::WrapModeTileFlipXY, 0, FALSE);
    GdipDrawImageRectRectI(graphics, bitmap, 0, 0, zoomed.cx, zoomed.cy, 0, 0, kWidth, kHeight,
                           Gdiplus::UnitPixel, attributes, nullptr, nullptr);
    GdipDisposeImageAttributes(attributes);
    GdipDeleteGraphics(graphics);
    GdipDisposeImage(bitmap);
    GdiFlush();
    return BitmapPixels(target.Get());
}

// Zooming in, the smooth zoom looks like GDI+'s bilinear drawing: no channel of any pixel
// differs by more than kBound levels of 255, the rounding of weights in 128ths over two passes
// on the sharpest edges. (Zooming out is left out on purpose: GDI+ samples every
// other pixel at 50%, where the scaler averages what each output pixel covers.)
TEST(ZoomScalerAgainstGdiplus, ZoomingInStaysWithinABoundOfGdiplusBilinear) {
    constexpr int kBound = 4;
    GdiplusLifetime gdiplus;
    struct Case {
        const char* name;
        uint32_t (*pixel)(int x, int y);
    } images[] = {{"photo", Photo}, {"text", Text}};
    for (const Case& c : images) {
        std::vector<uint32_t> image;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                image.push_back(c.pixel(x, y));
            }
        }
        for (int percent : {120, 150, 250, 300, 1200, 5000}) {
            Size zoomed{kWidth * percent / 100, kHeight * percent / 100};
            std::vector<uint32_t> ours(static_cast<size_t>(zoomed.cx) * zoomed.cy);
            TestImage rows(Size{kWidth, kHeight}, c.pixel);
            ZoomScaler scaler;
            ASSERT_TRUE(scaler.Draw(rows, ScaleFilter::kSmooth, Size{kWidth, kHeight}, zoomed,
                                    Rect{0, 0, zoomed.cx, zoomed.cy}, ours.data(), zoomed.cx));
            std::vector<uint32_t> theirs = DrawnByGdiplus(image, zoomed);
            ASSERT_EQ(ours.size(), theirs.size());
            int most = 0;
            for (size_t i = 0; i < ours.size(); ++i) {
                int d = MaxChannelDifference(ours[i], theirs[i], 3);
                most = d > most ? d : most;
            }
            EXPECT_LE(most, kBound) << c.name << " at " << percent << "%";
        }
    }
}

}  // namespace
