#include "viewer/bitmap_utils.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/win_text.h"
#include "support/bitmap_pixels.h"
#include "support/png_bytes.h"
#include "support/temp_folder.h"
#include "viewer/gdiplus_lifetime.h"

namespace {

// What a decoded DIB section holds, read back through GDI.
struct DibContents {
    bool made = false;
    int width = 0;
    int height = 0;
    int bitCount = 0;
    std::vector<RGBQUAD> colors;
    std::vector<std::vector<uint8_t>> rows;  // top-down, each the image's packed row bytes
};

DibContents ReadDib(HBITMAP bitmap, size_t rowBytes) {
    DibContents contents;
    DIBSECTION section{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(section), &section) != sizeof(section)) {
        return contents;
    }
    contents.made = true;
    contents.width = section.dsBmih.biWidth;
    contents.height = section.dsBmih.biHeight;
    contents.bitCount = section.dsBmih.biBitCount;
    const HDC memory = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    RGBQUAD table[256];
    contents.colors.assign(table, table + GetDIBColorTable(memory, 0, 256, table));
    SelectObject(memory, previous);
    DeleteDC(memory);
    const auto* bits = static_cast<const uint8_t*>(section.dsBm.bmBits);
    for (int row = 0; row < contents.height; ++row) {
        // Bottom-up: the first row in memory is the picture's last.
        const uint8_t* start = bits + static_cast<size_t>(contents.height - 1 - row) *
                                          static_cast<size_t>(section.dsBm.bmWidthBytes);
        contents.rows.emplace_back(start, start + rowBytes);
    }
    return contents;
}

class BitmapUtils : public testing::Test {
protected:
    // Decodes the PNG bytes the way the viewer opens a history file.
    HBITMAP DecodeFile(const std::vector<uint8_t>& file) {
        const std::wstring path = folder / L"image.png";
        EXPECT_TRUE(WriteFileBytes(path, file));
        const Tessel::OwnedPtr<GdiplusBitmap> image = LoadBitmapForGdiplus(ToUtf8(path.c_str()));
        EXPECT_TRUE(image);
        return BitmapFromGdiplus(image.Get());
    }

    GdiplusLifetime gdiplus;
    TempFolder folder;
};

std::vector<uint8_t> Palette(int count) {
    std::vector<uint8_t> palette;
    for (int i = 0; i < count; ++i) {
        palette.insert(palette.end(),
                       {static_cast<uint8_t>(10 + i * 13), static_cast<uint8_t>(200 - i * 7),
                        static_cast<uint8_t>(i * 31)});
    }
    return palette;
}

TEST_F(BitmapUtils, IndexedPngsKeepBitDepthPaletteAndPixels) {
    struct Case {
        uint8_t bitDepth;
        uint32_t width;
        int colors;
        std::vector<uint8_t> pixels;  // 3 rows
    };
    const Case cases[] = {
        {1, 11, 2, {0xA5, 0x40, 0x0F, 0xE0, 0xFF, 0x20}},
        {4, 5, 16, {0x01, 0x23, 0x40, 0x56, 0x78, 0x90, 0xAB, 0xCD, 0xE0}},
        {8, 4, 200, {0, 1, 2, 3, 199, 150, 100, 50, 7, 77, 177, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int{c.bitDepth} << " bits per pixel");
        PngImage png;
        png.width = c.width;
        png.height = 3;
        png.bitDepth = c.bitDepth;
        png.colorType = 3;
        png.palette = Palette(c.colors);
        png.pixels = c.pixels;
        const size_t rowBytes = c.pixels.size() / 3;

        const HBITMAP bitmap = DecodeFile(EncodePng(png));
        const DibContents dib = ReadDib(bitmap, rowBytes);
        ASSERT_TRUE(dib.made);
        EXPECT_EQ(dib.width, static_cast<int>(c.width));
        EXPECT_EQ(dib.height, 3);
        EXPECT_EQ(dib.bitCount, c.bitDepth);
        ASSERT_GE(dib.colors.size(), static_cast<size_t>(c.colors));
        for (int i = 0; i < c.colors; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(dib.colors[i].rgbRed, png.palette[i * 3]);
            EXPECT_EQ(dib.colors[i].rgbGreen, png.palette[i * 3 + 1]);
            EXPECT_EQ(dib.colors[i].rgbBlue, png.palette[i * 3 + 2]);
            EXPECT_EQ(dib.colors[i].rgbReserved, 0);
        }
        // The bits that pad a row's last byte carry nothing and may hold anything.
        const unsigned usedBits = (c.width * c.bitDepth) % 8;
        const uint8_t lastByteMask =
            usedBits == 0 ? 0xFF : static_cast<uint8_t>(0xFF << (8 - usedBits));
        for (int row = 0; row < 3; ++row) {
            std::vector<uint8_t> expected(c.pixels.begin() + row * rowBytes,
                                          c.pixels.begin() + (row + 1) * rowBytes);
            std::vector<uint8_t> actual = dib.rows[row];
            expected.back() &= lastByteMask;
            actual.back() &= lastByteMask;
            EXPECT_EQ(actual, expected) << "row " << row;
        }
        DeleteObject(bitmap);
    }
}

TEST_F(BitmapUtils, TrueColourPngsKeepTheirBytesAndAlpha) {
    struct Case {
        const char* name;
        uint8_t colorType;
        int bitCount;
        std::vector<uint8_t> pixels;    // 3 by 2, PNG order (R G B [A])
        std::vector<uint8_t> expected;  // DIB order (B G R [A]) of the same pixels
    };
    const Case cases[] = {
        {"RGB",
         2,
         24,
         {1, 2, 3, 40, 50, 60, 255, 0, 128, 9, 8, 7, 200, 100, 0, 0, 0, 0},
         {3, 2, 1, 60, 50, 40, 128, 0, 255, 7, 8, 9, 0, 100, 200, 0, 0, 0}},
        {"RGBA",
         6,
         32,
         {1, 2, 3, 255, 40, 50, 60, 128, 255, 0, 128, 0, 9, 8, 7, 1, 200, 100, 0, 254, 0, 0, 0, 64},
         {3, 2, 1, 255, 60, 50,  40,  128, 128, 0, 255, 0,
          7, 8, 9, 1,   0,  100, 200, 254, 0,   0, 0,   64}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PngImage png;
        png.width = 3;
        png.height = 2;
        png.colorType = c.colorType;
        png.pixels = c.pixels;
        const size_t rowBytes = c.expected.size() / 2;

        const HBITMAP bitmap = DecodeFile(EncodePng(png));
        const DibContents dib = ReadDib(bitmap, rowBytes);
        ASSERT_TRUE(dib.made);
        EXPECT_EQ(dib.bitCount, c.bitCount);
        EXPECT_TRUE(dib.colors.empty());
        EXPECT_EQ(dib.rows[0],
                  std::vector<uint8_t>(c.expected.begin(), c.expected.begin() + rowBytes));
        EXPECT_EQ(dib.rows[1],
                  std::vector<uint8_t>(c.expected.begin() + rowBytes, c.expected.end()));
        DeleteObject(bitmap);
    }
}

// GDI+ decoders choose the pixel format: Windows keeps 16-bit channels (48 and 64 bits per
// pixel), Wine's reduce them to 32-bit ARGB. Either way the DIB follows the reported format.
TEST_F(BitmapUtils, SixteenBitChannelsFollowTheDecodedFormat) {
    PngImage rgb;
    rgb.width = 2;
    rgb.height = 2;
    rgb.bitDepth = 16;
    rgb.colorType = 2;
    rgb.pixels.assign(2 * 2 * 6, 0x7F);
    PngImage rgba = rgb;
    rgba.colorType = 6;
    rgba.pixels.assign(2 * 2 * 8, 0x7F);
    for (const PngImage& png : {rgb, rgba}) {
        SCOPED_TRACE(testing::Message() << "colour type " << int{png.colorType});
        const std::wstring path = folder / L"deep.png";
        ASSERT_TRUE(WriteFileBytes(path, EncodePng(png)));
        const Tessel::OwnedPtr<GdiplusBitmap> image = LoadBitmapForGdiplus(ToUtf8(path.c_str()));
        ASSERT_NE(image->Native(), nullptr);
        Gdiplus::PixelFormat format = 0;
        Gdiplus::DllExports::GdipGetImagePixelFormat(image->Native(), &format);
        const HBITMAP bitmap = BitmapFromGdiplus(image.Get());
        if (format == PixelFormat48bppRGB || format == PixelFormat64bppARGB) {
            EXPECT_EQ(bitmap, nullptr);
        } else {
            EXPECT_EQ(format, PixelFormat32bppARGB);
            EXPECT_EQ(ReadDib(bitmap, 0).bitCount, 32);
        }
        if (bitmap)
            DeleteObject(bitmap);
    }
}

TEST_F(BitmapUtils, UnsupportedOrBrokenFilesGiveNoBitmap) {
    PngImage plain;
    plain.width = 64;
    plain.height = 64;
    plain.pixels.assign(64 * 64 * 3, 0x33);
    const std::vector<uint8_t> whole = EncodePng(plain);
    std::vector<uint8_t> truncated(whole.begin(),
                                   whole.begin() + static_cast<ptrdiff_t>(whole.size() / 2));
    std::vector<uint8_t> corrupt = whole;
    for (size_t i = 40; i < corrupt.size(); i += 7)
        corrupt[i] ^= 0x5A;

    // A header that promises a picture far too large to allocate.
    PngImage huge;
    huge.width = 1000000;
    huge.height = 1000000;
    huge.colorType = 6;
    huge.pixels.assign(8, 0);

    // Premultiplied alpha: GDI+ reports 32bppPARGB, whose bytes a DIB does not hold as they are.
    TiffImage premultiplied;
    premultiplied.width = 3;
    premultiplied.height = 2;
    premultiplied.extraSample = 1;
    premultiplied.pixels.assign(3 * 2 * 4, 0x40);

    struct Case {
        const char* name;
        std::vector<uint8_t> file;
    };
    const Case cases[] = {
        {"premultiplied alpha", EncodeTiff(premultiplied)},
        {"truncated", truncated},
        {"corrupt", corrupt},
        {"not an image", {'h', 'e', 'l', 'l', 'o'}},
        {"enormous", EncodePng(huge)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HBITMAP bitmap = DecodeFile(c.file);
        EXPECT_EQ(bitmap, nullptr);
        if (bitmap)
            DeleteObject(bitmap);
    }
    EXPECT_EQ(BitmapFromGdiplus(nullptr), nullptr);
}

TEST_F(BitmapUtils, CopyBitmapScaledRoundsTheSizeAndDrawsTheImage) {
    const HBITMAP source = MakeSolidBitmap(100, 50, RGB(200, 30, 60));
    const HBITMAP third = CopyBitmapScaled(source, 96.0 / 144.0);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(BitmapSize(third).cx, 67);
    EXPECT_EQ(BitmapSize(third).cy, 33);
    // A solid picture stays solid when scaled: the copy was drawn, not left uninitialised.
    const std::vector<uint32_t> pixels = BitmapPixels(third);
    EXPECT_EQ(pixels[16 * 67 + 33], 0xC81E3Cu);
    const HBITMAP twice = CopyBitmapScaled(source, 2.0);
    EXPECT_EQ(BitmapSize(twice).cx, 200);
    EXPECT_EQ(BitmapSize(twice).cy, 100);
    EXPECT_EQ(BitmapPixels(twice)[50 * 200 + 100], 0xC81E3Cu);
    DeleteObject(third);
    DeleteObject(twice);
    DeleteObject(source);
}

TEST_F(BitmapUtils, CopyBitmapScaledAtOneIsAnExactCopy) {
    const HBITMAP source = MakeSolidBitmap(37, 21, RGB(1, 2, 3));
    {
        const HDC memory = CreateCompatibleDC(nullptr);
        const HGDIOBJ previous = SelectObject(memory, source);
        for (int i = 0; i < 21; ++i)
            SetPixel(memory, i, i, RGB(i * 11, 255 - i, i));
        SetPixel(memory, 36, 0, RGB(9, 99, 199));
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    const HBITMAP copy = CopyBitmapScaled(source, 1.0);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, source);
    EXPECT_EQ(BitmapPixels(copy), BitmapPixels(source));
    DeleteObject(copy);
    DeleteObject(source);
}

TEST_F(BitmapUtils, WrappedBitmapRoundTripsThroughGdiplus) {
    const HBITMAP source = MakeSolidBitmap(5, 4, RGB(10, 20, 30));
    const Tessel::OwnedPtr<GdiplusBitmap> wrapper = WrapBitmapForGdiplus(source);
    ASSERT_TRUE(wrapper);
    EXPECT_NE(wrapper->Native(), nullptr);
    EXPECT_EQ(wrapper->Status(), Gdiplus::Ok);
    const HBITMAP back = BitmapFromGdiplus(wrapper.Get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(BitmapPixels(back), BitmapPixels(source));
    DeleteObject(back);
    DeleteObject(source);

    // A handle GDI+ cannot read still gives an object, with no image and the failure kept.
    const Tessel::OwnedPtr<GdiplusBitmap> broken = WrapBitmapForGdiplus(nullptr);
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->Native(), nullptr);
    EXPECT_NE(broken->Status(), Gdiplus::Ok);
    EXPECT_EQ(BitmapFromGdiplus(broken.Get()), nullptr);
}

TEST(DesktopWorkArea, OneMonitorGivesItsWorkArea) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT area{-1, -1, -1, -1};
    GetDesktopWorkArea(&area);
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 1);
    EXPECT_TRUE(EqualRect(&area, &work));
}

TEST(LoadIconAtSize, ProgramIconAtSystemSizes) {
    for (const bool large : {false, true}) {
        SCOPED_TRACE(large ? "large" : "small");
        const HICON icon = LoadIconAtSize(201, large);
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        const SIZE size = BitmapSize(info.hbmColor);
        EXPECT_EQ(size.cx, GetSystemMetrics(large ? SM_CXICON : SM_CXSMICON));
        EXPECT_EQ(size.cy, GetSystemMetrics(large ? SM_CYICON : SM_CYSMICON));
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    EXPECT_EQ(LoadIconAtSize(4321, true), nullptr);
}

}  // namespace
