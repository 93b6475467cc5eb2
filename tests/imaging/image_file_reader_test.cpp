// History files read the viewer's way give GDI+'s pixels; files the program's reader leaves alone
// still come through GDI+.
#include "imaging/image_file_reader.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "imaging/bitmap_utils.h"
#include "imaging/gdiplus_lifetime.h"
#include "imaging/png_file.h"
#include "support/bitmap_pixels.h"
#include "support/png_bytes.h"
#include "support/realistic_picture.h"
#include "support/temp_folder.h"
#include "win/scoped_win.h"
#include "win/win_text.h"

namespace {

int BitCount(HBITMAP bitmap) {
    DIBSECTION section{};
    return GetObjectW(bitmap, sizeof(section), &section) == sizeof(section)
               ? section.dsBmih.biBitCount
               : 0;
}

// The fourth byte of every pixel of a 32-bit DIB section, in memory order; 255 for the others,
// which have no alpha.
std::vector<uint8_t> AlphaBytes(HBITMAP bitmap) {
    DIBSECTION section{};
    GetObjectW(bitmap, sizeof(section), &section);
    std::vector<uint8_t> alpha(size_t{4} * section.dsBm.bmWidth * section.dsBm.bmHeight, 255);
    for (size_t i = 3; section.dsBm.bmBitsPixel == 32 && i < alpha.size(); i += 4) {
        alpha[i] = static_cast<const uint8_t*>(section.dsBm.bmBits)[i];
    }
    return alpha;
}

class ImageFileReader : public testing::Test {
protected:
    GdiplusLifetime gdiplus;
    TempFolder folder;
};

// Files the program writes, at odd sizes and on both sides of the encoder's first band split (512
// pixels wide, 512 rows are the first picture it cuts in two bands, 511 rows the last it keeps in
// one), and grey, grey and alpha and RGBA files written here: the program's own reader must take
// them (a 32-bit section where GDI+ gives 24 bits or fewer for a file without alpha) and agree
// with GDI+.
TEST_F(ImageFileReader, FilesReadAsGdiplusReadsThem) {
    std::vector<std::wstring> paths;
    const SIZE sizes[] = {{1, 1}, {1, 37},    {37, 1},    {5, 3},
                          {7, 9}, {512, 511}, {512, 512}, {1283, 721}};
    for (const SIZE& size : sizes) {
        paths.push_back(folder /
                        (std::to_wstring(size.cx) + L"x" + std::to_wstring(size.cy) + L".png"));
        const ScopedBitmap picture(MakeRealisticPicture(size.cx, size.cy));
        ASSERT_EQ(WritePngFile(picture.Get(), ToUtf8(paths.back().c_str()), 96, true),
                  PngFileResult::Written);
    }
    const int width = 203;
    const ScopedBitmap picture(MakeRealisticPicture(width, 117));
    const std::vector<uint32_t> pixels = BitmapPixels(picture.Get());
    for (const uint8_t colorType : {0, 4, 6}) {  // grey, grey and alpha, RGBA
        const std::vector<int> channels = colorType == 6   ? std::vector{0, 1, 2, 3}
                                          : colorType == 4 ? std::vector{1, 3}
                                                           : std::vector{1};
        PngImage png{width, 117, 8, colorType, {}, {}};
        for (size_t i = 0; i < pixels.size(); ++i) {
            const uint32_t p = pixels[i];
            const uint8_t rgba[] = {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                                    static_cast<uint8_t>(p), static_cast<uint8_t>(i * 7 / width)};
            for (const int channel : channels) {
                png.pixels.push_back(rgba[channel]);
            }
        }
        paths.push_back(folder / (L"kind " + std::to_wstring(colorType) + L".png"));
        ASSERT_TRUE(WriteFileBytes(paths.back(), EncodePng(png)));
    }
    for (const std::wstring& path : paths) {
        const Tessel::String utf8 = ToUtf8(path.c_str());
        SCOPED_TRACE(utf8.CStr());
        const ScopedBitmap ours(ReadImageFile(utf8));
        const ScopedBitmap gdiplus(BitmapFromGdiplus(LoadBitmapForGdiplus(utf8).Get()));
        ASSERT_TRUE(ours);
        ASSERT_TRUE(gdiplus);
        EXPECT_EQ(BitCount(ours.Get()), 32);
        EXPECT_EQ(BitmapSize(ours.Get()).cx, BitmapSize(gdiplus.Get()).cx);
        EXPECT_TRUE(BitmapPixels(ours.Get()) == BitmapPixels(gdiplus.Get()));
        EXPECT_TRUE(AlphaBytes(ours.Get()) == AlphaBytes(gdiplus.Get()));
    }
}

TEST_F(ImageFileReader, OtherFilesAreLeftToGdiplus) {
    const PngImage indexed{4, 2, 8, 3, {10, 20, 30, 40, 50, 60}, {0, 1, 1, 0, 1, 0, 0, 1}};
    const std::wstring palette = folder / L"palette.png";
    ASSERT_TRUE(WriteFileBytes(palette, EncodePng(indexed)));
    const ScopedBitmap bitmap(ReadImageFile(ToUtf8(palette.c_str())));
    EXPECT_EQ(BitCount(bitmap.Get()), 8);

    const std::wstring empty = folder / L"empty.png";
    ASSERT_TRUE(WriteFileBytes(empty, {}));
    for (const std::wstring& path : {empty, folder / L"missing.png"}) {
        EXPECT_EQ(ReadImageFile(ToUtf8(path.c_str())), nullptr);
    }
}

}  // namespace
