#include "imaging/image_saving.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "imaging/bitmap_utils.h"
#include "imaging/gdiplus_lifetime.h"
#include "imaging/png_file.h"
#include "support/bitmap_pixels.h"
#include "support/content_types.h"
#include "support/png_bytes.h"
#include "support/realistic_picture.h"
#include "support/temp_folder.h"
#include "win/message_recorder.h"
#include "win/win_text.h"

namespace {

// A 32-bit top-down DIB section with a different colour in every pixel and a fourth byte that
// is not zero, as a DIB can hold.
HBITMAP MakePatternBitmap(int width, int height) {
    const BITMAPINFO info = TopDown32BitInfo(width, height);
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    for (int i = 0; i < width * height; ++i) {
        static_cast<uint32_t*>(bits)[i] = static_cast<uint32_t>(i) * 0x01030507u;
    }
    return bitmap;
}

Tessel::String Utf8(const std::wstring& path) {
    return ToUtf8(path.c_str());
}

// The files whose names match the pattern, as the history store searches them.
std::vector<std::wstring> Listing(const std::wstring& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW(pattern.c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(found.cFileName);
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    return names;
}

class ImageSaving : public testing::Test {
protected:
    ~ImageSaving() override {
        DeleteObject(bitmap);
        SetPngFileFailureForTesting(PngFileStep::None);
    }

    MessageRecorder messages;
    TempFolder folder;
    HBITMAP bitmap = MakePatternBitmap(40, 30);
};

TEST_F(ImageSaving, ExtensionChoosesTheFormatWithoutContentTypes) {
    // As on a fresh system: GDI+'s own list of extensions chooses the encoder.
    const ScopedContentTypes none{{{L".png", L""},
                                   {L".jpg", L""},
                                   {L".jpeg", L""},
                                   {L".bmp", L""},
                                   {L".gif", L""},
                                   {L".tif", L""}}};
    struct Case {
        const wchar_t* name;
        std::vector<uint8_t> magic;
    };
    const Case cases[] = {
        {L"a.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}},
        {L"b.PNG", {0x89, 'P', 'N', 'G'}},
        {L"a.jpg", {0xFF, 0xD8, 0xFF}},
        {L"b.JPEG", {0xFF, 0xD8, 0xFF}},
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

TEST_F(ImageSaving, PngKeepsEveryPixelAndCarriesTheResolution) {
    const GdiplusLifetime gdiplus;
    struct Case {
        HBITMAP picture;
        uint32_t dpi;
        uint32_t expectedDpi;
        size_t largestFile;  // 0: no bound
    };
    // The bound is 1.1 times the file of libpng's default settings (zlib level 6, adaptive
    // filters) for the same pixels, 838,185 bytes, as the benchmark compares.
    const Case cases[] = {
        {MakeRealisticPicture(1920, 1080), 144, 144, 922003},
        {MakePatternBitmap(1, 1), 96, 96, 0},
        {MakePatternBitmap(5, 3), 120, 120, 0},  // rows not a multiple of 4 bytes
        {MakePatternBitmap(16384, 3), 0, GetScreenDpi(), 0},
    };
    for (const Case& c : cases) {
        const SIZE size = BitmapSize(c.picture);
        SCOPED_TRACE(std::to_string(size.cx) + "x" + std::to_string(size.cy));
        const std::wstring path = folder / L"Glimpser 1.png";
        DeleteFileW(path.c_str());
        ASSERT_TRUE(SaveImage(c.picture, Utf8(path), c.dpi));
        const std::vector<uint8_t> file = ReadFileBytes(path);
        std::vector<uint8_t> phys;
        ASSERT_TRUE(FindPngChunk(file, "pHYs", phys));
        ASSERT_EQ(phys.size(), 9u);
        EXPECT_EQ(phys[8], 1) << "unit: metre";
        for (const int at : {0, 4}) {
            const uint32_t perMetre = uint32_t{phys[at]} << 24 | uint32_t{phys[at + 1]} << 16 |
                                      uint32_t{phys[at + 2]} << 8 | phys[at + 3];
            EXPECT_EQ(std::lround(perMetre * 0.0254), c.expectedDpi);
        }
        if (c.largestFile != 0) {
            EXPECT_LE(file.size(), c.largestFile);
        }
        const HBITMAP back = BitmapFromGdiplus(LoadBitmapForGdiplus(Utf8(path)).Get());
        ASSERT_NE(back, nullptr);
        EXPECT_TRUE(BitmapPixels(back) == BitmapPixels(c.picture));
        DeleteObject(back);
        DeleteObject(c.picture);
    }
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(ImageSaving, FailuresAreShownOnceAndReported) {
    const ScopedContentTypes testTypes({{L".glimpsercaps", L"IMAGE/PNG"},
                                        {L".glimpsertext", L"text/plain"},
                                        {L".glimpserlower", L"image/png"}});
    ASSERT_TRUE(CreateDirectoryW((folder / L"folder.d").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(folder / L"Glimpser 7.png", {1, 2, 3}));
    ASSERT_TRUE(WriteFileBytes(folder / L"replaced.png", {1, 2, 3}));
    struct Case {
        const wchar_t* name;
        HBITMAP bitmap;
        ExistingFile existing;
        const char* message;  // "": saved
    };
    const Case cases[] = {
        {L"shot", bitmap, ExistingFile::Keep, "Unsupported file format"},
        {L"folder.d\\shot", bitmap, ExistingFile::Keep, "Unsupported file format"},
        // Content types are compared exactly, and one with no encoder is not replaced by GDI+'s
        // list of extensions.
        {L"shot.glimpsercaps", bitmap, ExistingFile::Keep, "Unsupported file format"},
        {L"shot.glimpsertext", bitmap, ExistingFile::Keep, "Unsupported file format"},
        {L"shot.glimpserunknown", bitmap, ExistingFile::Keep, "Unsupported file format"},
        {L"missing\\shot.png", bitmap, ExistingFile::Keep, "Failed to save file"},
        {L"missing\\shot.bmp", bitmap, ExistingFile::Keep, "Failed to save file"},
        {L"nothing.png", nullptr, ExistingFile::Keep, "Failed to save file"},
        {L"nothing.bmp", nullptr, ExistingFile::Keep, "Failed to save file"},
        {L"Glimpser 7.png", bitmap, ExistingFile::Keep, "Failed to save file"},
        {L"replaced.png", bitmap, ExistingFile::Replace, ""},
        {L"shot.glimpserlower", bitmap, ExistingFile::Keep, ""},
    };
    for (const Case& c : cases) {
        const std::wstring path = folder / c.name;
        SCOPED_TRACE(Utf8(path).CStr());
        messages.Shown().clear();
        EXPECT_EQ(SaveImage(c.bitmap, Utf8(path), 96, c.existing), *c.message == 0);
        EXPECT_EQ(messages.Shown(),
                  (*c.message ? ShownMessages{{c.message, MB_ICONERROR}} : ShownMessages{}));
        EXPECT_EQ(ReadFileBytes(path).size() > 8, *c.message == 0);
    }
    EXPECT_EQ(ReadFileBytes(folder / L"Glimpser 7.png").size(), 3u) << "left as it was";
    EXPECT_EQ(Listing(folder / L"*.tmp"), std::vector<std::wstring>{});
}

TEST_F(ImageSaving, AnInterruptedWriteLeavesNoHistoryFile) {
    const std::wstring path = folder / L"Glimpser 12.png";
    for (const PngFileStep step :
         {PngFileStep::Create, PngFileStep::Write, PngFileStep::Flush, PngFileStep::Rename}) {
        SCOPED_TRACE(static_cast<int>(step));
        SetPngFileFailureForTesting(step);
        messages.Shown().clear();
        EXPECT_FALSE(SaveImage(bitmap, Utf8(path), 96));
        EXPECT_EQ(messages.Shown(), (ShownMessages{{"Failed to save file", MB_ICONERROR}}));
        EXPECT_EQ(Listing(folder / L"*"), std::vector<std::wstring>{});
    }
    // A process killed before the rename leaves its temporary file: not history, and no
    // obstacle to the next capture under the same name.
    SetPngFileFailureForTesting(PngFileStep::Crash);
    EXPECT_FALSE(SaveImage(bitmap, Utf8(path), 96));
    EXPECT_EQ(Listing(folder / L"*").size(), 1u);
    EXPECT_EQ(Listing(folder / L"Glimpser *.png"), std::vector<std::wstring>{});
    SetPngFileFailureForTesting(PngFileStep::None);
    EXPECT_TRUE(SaveImage(bitmap, Utf8(path), 96));
    EXPECT_EQ(Listing(folder / L"Glimpser *.png"), std::vector<std::wstring>{L"Glimpser 12.png"});
}

}  // namespace
