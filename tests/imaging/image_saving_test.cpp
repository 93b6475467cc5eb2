#include "imaging/image_saving.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "imaging/bitmap_utils.h"
#include "imaging/gdiplus_lifetime.h"
#include "support/bitmap_pixels.h"
#include "support/content_types.h"
#include "support/png_bytes.h"
#include "support/temp_folder.h"
#include "win/message_recorder.h"
#include "win/win_text.h"

namespace {

// A 32-bit top-down DIB section with a different colour in every pixel.
HBITMAP MakePatternBitmap(int width, int height) {
    const BITMAPINFO info = TopDown32BitInfo(width, height);
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    for (int i = 0; i < width * height; ++i) {
        static_cast<uint32_t*>(bits)[i] = static_cast<uint32_t>(i * 0x010305);
    }
    return bitmap;
}

Tessel::String Utf8(const std::wstring& path) {
    return ToUtf8(path.c_str());
}

class ImageSaving : public testing::Test {
protected:
    ~ImageSaving() override { DeleteObject(bitmap); }

    MessageRecorder messages;
    TempFolder folder;
    // What Windows registers, in case another test took it away.
    ScopedContentTypes imageTypes{{{L".png", L"image/png"},
                                   {L".jpg", L"image/jpeg"},
                                   {L".jpeg", L"image/jpeg"},
                                   {L".bmp", L"image/bmp"},
                                   {L".gif", L"image/gif"},
                                   {L".tif", L"image/tiff"}}};
    HBITMAP bitmap = MakePatternBitmap(40, 30);
};

TEST_F(ImageSaving, ExtensionChoosesTheFormat) {
    struct Case {
        const wchar_t* name;
        std::vector<uint8_t> magic;
    };
    const Case cases[] = {
        {L"a.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}},
        {L"a.jpg", {0xFF, 0xD8, 0xFF}},
        {L"a.jpeg", {0xFF, 0xD8, 0xFF}},
        {L"a.bmp", {'B', 'M'}},
        {L"a.gif", {'G', 'I', 'F', '8'}},
        {L"a.tif", {'I', 'I', 42, 0}},
        {L"a.b.c.png", {0x89, 'P', 'N', 'G'}},
    };
    for (const Case& c : cases) {
        const std::wstring path = folder / c.name;
        SCOPED_TRACE(Utf8(path).CStr());
        EXPECT_TRUE(SaveImage(bitmap, Utf8(path), 0));
        std::vector<uint8_t> file = ReadFileBytes(path);
        file.resize(std::min(file.size(), c.magic.size()));
        EXPECT_EQ(file, c.magic);
    }
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(ImageSaving, PngKeepsThePixelsAndCarriesTheResolution) {
    const std::wstring path = folder / L"Glimpser 1.png";
    ASSERT_TRUE(SaveImage(bitmap, Utf8(path), 144));
    std::vector<uint8_t> phys;
    ASSERT_TRUE(FindPngChunk(ReadFileBytes(path), "pHYs", phys));
    ASSERT_EQ(phys.size(), 9u);
    EXPECT_EQ(phys[8], 1) << "unit: metre";
    for (const int at : {0, 4}) {
        const uint32_t perMetre = uint32_t{phys[at]} << 24 | uint32_t{phys[at + 1]} << 16 |
                                  uint32_t{phys[at + 2]} << 8 | phys[at + 3];
        EXPECT_EQ(std::lround(perMetre * 0.0254), 144);
    }
    const GdiplusLifetime gdiplus;
    const HBITMAP back = BitmapFromGdiplus(LoadBitmapForGdiplus(Utf8(path)).Get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(BitmapPixels(back), BitmapPixels(bitmap));
    DeleteObject(back);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(ImageSaving, FailuresAreShownOnceAndReported) {
    const ScopedContentTypes testTypes({{L".glimpsercaps", L"IMAGE/PNG"},
                                        {L".glimpsertext", L"text/plain"},
                                        {L".glimpserlower", L"image/png"}});
    ASSERT_TRUE(CreateDirectoryW((folder / L"folder.d").c_str(), nullptr));
    struct Case {
        const wchar_t* name;
        HBITMAP bitmap;
        const char* message;  // "": saved
    };
    const Case cases[] = {
        {L"shot", bitmap, "Unsupported file format"},
        {L"folder.d\\shot", bitmap, "Unsupported file format"},
        {L"shot.glimpsercaps", bitmap, "Unsupported file format"},  // MIME types match exactly
        {L"shot.glimpsertext", bitmap, "Unsupported file format"},
        {L"shot.glimpserunknown", bitmap, "Unsupported file format"},
        {L"missing\\shot.png", bitmap, "Failed to save file"},
        {L"nothing.png", nullptr, "Failed to save file"},
        {L"shot.glimpserlower", bitmap, ""},
    };
    for (const Case& c : cases) {
        const std::wstring path = folder / c.name;
        SCOPED_TRACE(Utf8(path).CStr());
        messages.Shown().clear();
        EXPECT_EQ(SaveImage(c.bitmap, Utf8(path), 96), *c.message == 0);
        EXPECT_EQ(messages.Shown(),
                  (*c.message ? ShownMessages{{c.message, MB_ICONERROR}} : ShownMessages{}));
        EXPECT_EQ(ReadFileBytes(path).size() > 8, *c.message == 0);
    }
}

}  // namespace
