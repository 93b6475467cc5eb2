#include "imaging/bitmap_utils.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "imaging/gdiplus_lifetime.h"
#include "imaging/scaler_test_image.h"
#include "support/bitmap_pixels.h"
#include "support/png_bytes.h"
#include "support/temp_folder.h"
#include "win/scoped_win.h"
#include "win/win_text.h"

namespace {

// What a decoded DIB section holds, read back through GDI, in the PNG's terms.
struct DibContents {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    std::vector<uint8_t> palette;  // red, green, blue per entry of the colour table
    std::vector<uint8_t> rows;     // top-down, each the image's packed row bytes
};

DibContents ReadDib(HBITMAP bitmap, size_t rowBytes) {
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof(section), &section) != sizeof(section)) {
        return {};
    }
    const BITMAPINFOHEADER& header = section.dsBmih;
    DibContents contents{header.biWidth, header.biHeight, header.biBitCount, {}, {}};
    const ScopedMemDC memory(nullptr);
    const ScopedSelect select(memory.Get(), bitmap);
    RGBQUAD table[256];
    for (UINT i = 0, count = GetDIBColorTable(memory.Get(), 0, 256, table); i < count; ++i) {
        contents.palette.insert(contents.palette.end(),
                                {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue});
        EXPECT_EQ(table[i].rgbReserved, 0) << "colour " << i;
    }
    for (int row = contents.height - 1; row >= 0; --row) {  // bottom-up in memory
        const auto* start = static_cast<const uint8_t*>(section.dsBm.bmBits) +
                            static_cast<size_t>(row) * section.dsBm.bmWidthBytes;
        contents.rows.insert(contents.rows.end(), start, start + rowBytes);
    }
    return contents;
}

// A 3 by 2 TIFF whose extra sample is premultiplied alpha, which GDI+ reports as 32bppPARGB:
// bytes a DIB does not hold as they are. Every directory value fits in two bytes.
std::vector<uint8_t> PremultipliedTiff() {
    // Tag, type (3 SHORT, 4 LONG) and the one value of each directory entry.
    const uint16_t entries[][3] = {
        {256, 4, 3}, {257, 4, 2},   {258, 3, 8},  {259, 3, 1},  // 8 bits, uncompressed
        {262, 3, 2}, {273, 4, 134},                             // RGB; pixels after the directory
        {277, 3, 4}, {278, 4, 2},   {279, 4, 24}, {338, 3, 1},  // one strip; associated alpha
    };
    std::vector<uint8_t> file{'I', 'I', 42, 0, 8, 0, 0, 0, std::size(entries), 0};
    for (const auto& [tag, type, value] : entries) {
        for (const uint16_t half : {tag, type, uint16_t{1}, uint16_t{0}, value, uint16_t{0}}) {
            file.insert(file.end(), {static_cast<uint8_t>(half), static_cast<uint8_t>(half >> 8)});
        }
    }
    file.resize(file.size() + 4);  // no next directory
    file.resize(file.size() + 24, 0x40);
    return file;
}

class BitmapUtils : public testing::Test {
protected:
    // Decodes the file the way the viewer opens a history file.
    HBITMAP Decode(const std::vector<uint8_t>& file) {
        const std::wstring path = folder / L"image.png";
        EXPECT_TRUE(WriteFileBytes(path, file));
        return BitmapFromGdiplus(LoadBitmapForGdiplus(ToUtf8(path.c_str())).Get());
    }

    GdiplusLifetime gdiplus;
    TempFolder folder;
};

TEST_F(BitmapUtils, PngsKeepBitDepthPaletteAlphaAndBytes) {
    struct Case {
        uint8_t colorType;
        uint8_t bitDepth;
        uint32_t width;
        int colors;
        int bitCount;
    };
    const Case cases[] = {
        {3, 1, 16, 2, 1}, {3, 4, 6, 16, 4}, {3, 8, 4, 200, 8}, {2, 8, 3, 0, 24}, {6, 8, 3, 0, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int{c.colorType} << " " << int{c.bitDepth});
        PngImage png{c.width, 3, c.bitDepth, c.colorType, {}, {}};
        for (int i = 0; i < c.colors * 3; ++i) {
            png.palette.push_back(static_cast<uint8_t>(i * 37 + 5));
        }
        const size_t rowBytes = (c.width * c.bitCount + 7) / 8;
        for (size_t i = 0; i < rowBytes * 3; ++i) {
            const int value = static_cast<int>(i * 97 + 13) % 256;
            png.pixels.push_back(static_cast<uint8_t>(c.bitCount == 8 ? value % c.colors : value));
        }
        const ScopedBitmap bitmap(Decode(EncodePng(png)));
        // A DIB holds blue, green, red: the PNG's red and blue swap places.
        for (size_t i = 0; c.bitCount >= 24 && i < png.pixels.size(); i += c.bitCount / 8) {
            std::swap(png.pixels[i], png.pixels[i + 2]);
        }
        DibContents dib = ReadDib(bitmap.Get(), rowBytes);
        EXPECT_EQ(dib.width, static_cast<int>(c.width));
        EXPECT_EQ(dib.height, 3);
        EXPECT_EQ(dib.bitCount, c.bitCount);
        // An 8-bit table may hold more colours than the PNG's palette.
        ASSERT_GE(dib.palette.size(), png.palette.size());
        dib.palette.resize(png.palette.size());
        EXPECT_EQ(dib.palette, png.palette);
        EXPECT_EQ(dib.rows, png.pixels);
    }
}

// GDI+ decoders choose the pixel format: Windows keeps 16-bit channels (48 and 64 bits per
// pixel), which a DIB cannot hold; Wine's reduce them to 32-bit ARGB, which it can, as
// PngsKeepBitDepthPaletteAlphaAndBytes shows.
TEST_F(BitmapUtils, UnsupportedOrBrokenFilesGiveNoBitmap) {
    const PngImage plain{64, 64, 8, 2, {}, std::vector<uint8_t>(64 * 64 * 3, 0x33)};
    const std::vector<uint8_t> whole = EncodePng(plain);
    // A header that promises a picture far too large to allocate.
    const PngImage huge{1000000, 1000000, 8, 6, {}, std::vector<uint8_t>(8, 0)};

    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        bool deepChannels;
    };
    const Case cases[] = {
        {"16-bit RGB", EncodePng({2, 2, 16, 2, {}, std::vector<uint8_t>(2 * 2 * 6, 0x7F)}), true},
        {"16-bit RGBA", EncodePng({2, 2, 16, 6, {}, std::vector<uint8_t>(2 * 2 * 8, 0x7F)}), true},
        {"premultiplied alpha", PremultipliedTiff(), false},
        {"truncated", std::vector<uint8_t>(whole.begin(), whole.begin() + whole.size() / 2), false},
        {"not an image", {'h', 'e', 'l', 'l', 'o'}, false},
        {"enormous", EncodePng(huge), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScopedBitmap bitmap(Decode(c.file));
        EXPECT_TRUE(!bitmap || (c.deepChannels && ReadDib(bitmap.Get(), 0).bitCount == 32));
    }
    EXPECT_EQ(BitmapFromGdiplus(nullptr), nullptr);
}

// CopyBitmapScaled draws with GDI+'s default (bilinear) interpolation, at the size rounded half
// away from zero. Zooming in, the smooth zoom looks like that drawing: no channel of any pixel
// differs by more than kBound levels of 255, the rounding of weights in 128ths over two passes
// on the sharpest edges. Pixels within a zoomed pixel of the border are left out: GDI+ fades
// them to transparent, where the scaler repeats the last pixel. (Zooming out is left out on
// purpose: GDI+ samples every other pixel at 50%, where the scaler averages what each output
// pixel covers.)
TEST_F(BitmapUtils, CopyBitmapScaledDrawsLikeTheSmoothZoom) {
    constexpr int kBound = 4;
    const Size size{61, 37};
    const auto pixel = [](int32_t x, int32_t y) { return Noise(x, y) & 0xFFFFFFu; };
    TestImage image(size, pixel);
    const ScopedBitmap source(MakeDibSection(size.cx, size.cy, pixel));
    struct Case {
        int percent;
        Size zoomed;
    };
    const Case cases[] = {{120, {73, 44}},   {150, {92, 56}},    {250, {153, 93}},
                          {300, {183, 111}}, {1200, {732, 444}}, {5000, {3050, 1850}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.percent);
        const ScopedBitmap copy(CopyBitmapScaled(source.Get(), c.percent / 100.0));
        ASSERT_EQ(BitmapSize(copy.Get()).cx, c.zoomed.cx);
        ASSERT_EQ(BitmapSize(copy.Get()).cy, c.zoomed.cy);
        const std::vector<uint32_t> theirs = BitmapPixels(copy.Get());
        std::vector<uint32_t> ours(theirs.size());
        ZoomScaler scaler;
        ASSERT_TRUE(scaler.Draw(image, ScaleFilter::kSmooth, size, c.zoomed,
                                Rect{0, 0, c.zoomed.cx, c.zoomed.cy}, ours.data(), c.zoomed.cx));
        const int margin = c.percent / 100 + 1;
        int most = 0;
        for (int y = margin; y < c.zoomed.cy - margin; ++y) {
            for (int x = margin; x < c.zoomed.cx - margin; ++x) {
                const size_t i = static_cast<size_t>(y) * c.zoomed.cx + x;
                most = std::max(most, MaxChannelDifference(ours[i], theirs[i], 3));
            }
        }
        EXPECT_LE(most, kBound);
    }
}

TEST(DesktopWorkArea, OneMonitorGivesItsWorkArea) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT area{-1, -1, -1, -1};
    GetDesktopWorkArea(&area);
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 1);
    EXPECT_TRUE(EqualRect(&area, &work));
}

}  // namespace
