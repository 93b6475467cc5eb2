#include "imaging/bitmap_utils.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "imaging/gdiplus_lifetime.h"
#include "support/bitmap_pixels.h"
#include "support/png_bytes.h"
#include "support/temp_folder.h"
#include "win/win_text.h"

namespace {

// What a decoded DIB section holds, read back through GDI.
struct DibContents {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    std::vector<RGBQUAD> colors;
    std::vector<uint8_t> rows;  // top-down, each the image's packed row bytes
};

DibContents ReadDib(HBITMAP bitmap, size_t rowBytes) {
    DibContents contents;
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof(section), &section) != sizeof(section)) {
        return contents;
    }
    contents.width = section.dsBmih.biWidth;
    contents.height = section.dsBmih.biHeight;
    contents.bitCount = section.dsBmih.biBitCount;
    const HDC memory = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    RGBQUAD table[256];
    contents.colors.assign(table, table + GetDIBColorTable(memory, 0, 256, table));
    SelectObject(memory, previous);
    DeleteDC(memory);
    for (int row = contents.height - 1; row >= 0; --row) {  // bottom-up in memory
        const auto* start = static_cast<const uint8_t*>(section.dsBm.bmBits) +
                            static_cast<size_t>(row) * section.dsBm.bmWidthBytes;
        contents.rows.insert(contents.rows.end(), start, start + rowBytes);
    }
    return contents;
}

class BitmapUtils : public testing::Test {
protected:
    // Decodes the file the way the viewer opens a history file.
    HBITMAP Decode(const std::vector<uint8_t>& file, Gdiplus::PixelFormat* format = nullptr) {
        const std::wstring path = folder / L"image.png";
        EXPECT_TRUE(WriteFileBytes(path, file));
        const Tessel::OwnedPtr<GdiplusBitmap> image = LoadBitmapForGdiplus(ToUtf8(path.c_str()));
        if (format != nullptr && image->Native() != nullptr) {
            Gdiplus::DllExports::GdipGetImagePixelFormat(image->Native(), format);
        }
        return BitmapFromGdiplus(image.Get());
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
        PngImage png{c.width, 3, c.bitDepth, c.colorType, {}, {}, {}};
        for (int i = 0; i < c.colors * 3; ++i) {
            png.palette.push_back(static_cast<uint8_t>(i * 37 + 5));
        }
        const size_t rowBytes = (c.width * c.bitCount + 7) / 8;
        for (size_t i = 0; i < rowBytes * 3; ++i) {
            const int value = static_cast<int>(i * 97 + 13) % 256;
            png.pixels.push_back(static_cast<uint8_t>(c.bitCount == 8 ? value % c.colors : value));
        }
        const HBITMAP bitmap = Decode(EncodePng(png));
        // A DIB holds blue, green, red: the PNG's red and blue swap places.
        for (size_t i = 0; c.bitCount >= 24 && i < png.pixels.size(); i += c.bitCount / 8) {
            std::swap(png.pixels[i], png.pixels[i + 2]);
        }
        const DibContents dib = ReadDib(bitmap, rowBytes);
        EXPECT_EQ(dib.width, static_cast<int>(c.width));
        EXPECT_EQ(dib.height, 3);
        EXPECT_EQ(dib.bitCount, c.bitCount);
        ASSERT_GE(dib.colors.size(), static_cast<size_t>(c.colors));
        for (int i = 0; i < c.colors; ++i) {
            const RGBQUAD entry = dib.colors[i];
            EXPECT_EQ(RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue) | entry.rgbReserved << 24,
                      RGB(png.palette[i * 3], png.palette[i * 3 + 1], png.palette[i * 3 + 2]))
                << "colour " << i;
        }
        EXPECT_EQ(dib.rows, png.pixels);
        DeleteObject(bitmap);
    }
}

// GDI+ decoders choose the pixel format: Windows keeps 16-bit channels (48 and 64 bits per
// pixel), which a DIB cannot hold; Wine's reduce them to 32-bit ARGB, which it can.
TEST_F(BitmapUtils, UnsupportedOrBrokenFilesGiveNoBitmap) {
    const PngImage plain{64, 64, 8, 2, {}, {}, std::vector<uint8_t>(64 * 64 * 3, 0x33)};
    const std::vector<uint8_t> whole = EncodePng(plain);
    std::vector<uint8_t> corrupt = whole;
    for (size_t i = 40; i < corrupt.size(); i += 7)
        corrupt[i] ^= 0x5A;
    const PngImage deepRgb{2, 2, 16, 2, {}, {}, std::vector<uint8_t>(2 * 2 * 6, 0x7F)};
    const PngImage deepRgba{2, 2, 16, 6, {}, {}, std::vector<uint8_t>(2 * 2 * 8, 0x7F)};
    // A header that promises a picture far too large to allocate.
    const PngImage huge{1000000, 1000000, 8, 6, {}, {}, std::vector<uint8_t>(8, 0)};
    // Premultiplied alpha: GDI+ reports 32bppPARGB, whose bytes a DIB does not hold as they are.
    const TiffImage premultiplied{3, 2, 8, 3, 2, 1, std::vector<uint8_t>(3 * 2 * 4, 0x40)};

    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        bool deepChannels;
    };
    const Case cases[] = {
        {"16-bit RGB", EncodePng(deepRgb), true},
        {"16-bit RGBA", EncodePng(deepRgba), true},
        {"premultiplied alpha", EncodeTiff(premultiplied), false},
        {"truncated", std::vector<uint8_t>(whole.begin(), whole.begin() + whole.size() / 2), false},
        {"corrupt", corrupt, false},
        {"not an image", {'h', 'e', 'l', 'l', 'o'}, false},
        {"enormous", EncodePng(huge), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Gdiplus::PixelFormat format = 0;
        const HBITMAP bitmap = Decode(c.file, &format);
        const bool converted = c.deepChannels && format == PixelFormat32bppARGB;
        EXPECT_EQ(bitmap != nullptr, converted) << format;
        if (bitmap) {
            EXPECT_EQ(ReadDib(bitmap, 0).bitCount, 32);
            DeleteObject(bitmap);
        }
    }
    EXPECT_EQ(BitmapFromGdiplus(nullptr), nullptr);
}

TEST_F(BitmapUtils, CopyBitmapScaledRoundsTheSizeAndCopiesExactlyAtOne) {
    const HBITMAP solid = MakeSolidBitmap(100, 50, RGB(200, 30, 60));
    const HBITMAP scaled = CopyBitmapScaled(solid, 96.0 / 144.0);
    EXPECT_EQ(BitmapSize(scaled).cx, 67);
    EXPECT_EQ(BitmapSize(scaled).cy, 33);
    // A solid picture stays solid when scaled: the copy was drawn, not left uninitialised.
    EXPECT_EQ(BitmapPixels(scaled).at(16 * 67 + 33), 0xC81E3Cu);

    const HDC memory = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(memory, solid);
    for (int i = 0; i < 50; ++i)
        SetPixel(memory, i * 2, i, RGB(i * 5, 255 - i, i));
    SelectObject(memory, previous);
    DeleteDC(memory);
    const HBITMAP copy = CopyBitmapScaled(solid, 1.0);
    EXPECT_NE(copy, solid);
    EXPECT_EQ(BitmapPixels(copy), BitmapPixels(solid));
    for (const HBITMAP bitmap : {solid, scaled, copy})
        DeleteObject(bitmap);
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
