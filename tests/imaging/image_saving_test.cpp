#include "imaging/image_saving.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/bitmap_utils.h"
#include "imaging/gdiplus_lifetime.h"
#include "imaging/png_file.h"
#include "imaging/scaler_test_image.h"
#include "support/bitmap_pixels.h"
#include "support/content_types.h"
#include "support/png_bytes.h"
#include "support/realistic_picture.h"
#include "support/temp_folder.h"
#include "win/message_recorder.h"
#include "win/scoped_win.h"
#include "win/win_text.h"

namespace {

Tessel::String Utf8(const std::wstring& path) {
    return ToUtf8(path.c_str());
}

// How many files (not folders) match the pattern as the history store searches them, short
// 8.3 names too.
int CountMatching(const std::wstring& pattern) {
    WIN32_FIND_DATAW found;
    const ScopedFind find(FindFirstFileW(pattern.c_str(), &found));
    int count = 0;
    for (bool more = static_cast<bool>(find); more; more = FindNextFileW(find.Get(), &found)) {
        count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }
    return count;
}

class ImageSaving : public testing::Test {
protected:
    ~ImageSaving() override { SetPngFileFailureForTesting(PngFileStep::None); }

    MessageRecorder messages;
    TempFolder folder;
    // Noise has a fourth byte that is not zero, as a DIB can hold.
    ScopedBitmap bitmap{MakeDibSection(40, 30, Noise)};
};

// GDI+ decodes every file again, as other programs read it. pHYs holds whole pixels per metre,
// rounded: 97 dpi is stored as 3819 and read back as 97.003, where 3818 would be 96.977.
TEST_F(ImageSaving, PngKeepsEveryPixelAndCarriesTheResolution) {
    const GdiplusLifetime gdiplus;
    struct Case {
        HBITMAP picture;
        uint32_t dpi;
        uint32_t expectedDpi;
        size_t largestFile;
    };
    // The bound is 1.1 times the file of libpng's default settings (zlib level 6, adaptive
    // filters) for the same pixels, 838,185 bytes, as the benchmark compares. The picture is
    // read in many bands and written in several IDAT chunks.
    const Case cases[] = {
        {MakeRealisticPicture(1920, 1080), 144, 144, 922003},
        {MakeDibSection(1, 1, Noise), 96, 96, SIZE_MAX},
        {MakeDibSection(5, 3, Noise), 97, 97, SIZE_MAX},  // rows not a multiple of 4 bytes
        {MakeDibSection(16384, 3, Noise), 0, GetScreenDpi(), SIZE_MAX},
    };
    for (const Case& c : cases) {
        const ScopedBitmap picture(c.picture);
        SCOPED_TRACE(&c - cases);
        const std::wstring path = folder / L"Glimpser 1.png";
        DeleteFileW(path.c_str());
        ASSERT_TRUE(SaveImage(c.picture, Utf8(path), c.dpi));
        EXPECT_LE(ReadFileBytes(path).size(), c.largestFile);
        const Tessel::OwnedPtr<GdiplusBitmap> image = LoadBitmapForGdiplus(Utf8(path));
        float dpi[2] = {};
        Gdiplus::DllExports::GdipGetImageHorizontalResolution(image->Native(), &dpi[0]);
        Gdiplus::DllExports::GdipGetImageVerticalResolution(image->Native(), &dpi[1]);
        EXPECT_NEAR(dpi[0], c.expectedDpi, 0.0254 / 2);
        EXPECT_NEAR(dpi[1], c.expectedDpi, 0.0254 / 2);
        const ScopedBitmap back(BitmapFromGdiplus(image.Get()));
        ASSERT_TRUE(back);
        EXPECT_TRUE(BitmapPixels(back.Get()) == BitmapPixels(c.picture));
    }
    EXPECT_TRUE(messages.Take().empty());
}

TEST_F(ImageSaving, TheNameChoosesTheFormatOrOneMessageSaysWhyNot) {
    // Image extensions without content types, as on a fresh system: GDI+'s own list of
    // extensions chooses the encoder. Content types are compared exactly, and one with no
    // encoder is not replaced by that list.
    const ScopedContentTypes types{{{L".jpg", L""},
                                    {L".glimpsercaps", L"IMAGE/PNG"},
                                    {L".tif", L"text/plain"},
                                    {L".glimpserlower", L"image/png"}}};
    ASSERT_TRUE(CreateDirectoryW((folder / L"folder.d").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(folder / L"Glimpser 7.png", {1, 2, 3}));
    ASSERT_TRUE(WriteFileBytes(folder / L"replaced.png", {1, 2, 3}));
    const std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    struct Case {
        const wchar_t* name;
        const char* message;              // "": saved
        std::vector<uint8_t> magic = {};  // how the saved file starts
        ExistingFile existing = ExistingFile::Keep;
        bool noBitmap = false;
    };
    const Case cases[] = {
        {L"a.b.c.png", "", png},
        {L"a.jpg", "", {0xFF, 0xD8, 0xFF}},
        {L"shot.glimpserlower", "", png},
        {L"replaced.png", "", png, ExistingFile::Replace},
        {L"shot", "Unsupported file format"},
        {L"folder.d\\shot", "Unsupported file format"},
        {L"shot.glimpsercaps", "Unsupported file format"},
        {L"shot.tif", "Unsupported file format"},  // on the list, but typed otherwise
        {L"shot.glimpserunknown", "Unsupported file format"},
        {L"missing\\shot.png", "Failed to save file"},
        {L"missing\\shot.bmp", "Failed to save file"},
        {L"nothing.png", "Failed to save file", {}, ExistingFile::Keep, true},
        {L"nothing.bmp", "Failed to save file", {}, ExistingFile::Keep, true},
        {L"Glimpser 7.png", "Failed to save file"},
    };
    for (const Case& c : cases) {
        const std::wstring path = folder / c.name;
        SCOPED_TRACE(Utf8(path).CStr());
        const bool saved = *c.message == 0;
        EXPECT_EQ(SaveImage(c.noBitmap ? nullptr : bitmap.Get(), Utf8(path), 96, c.existing),
                  saved);
        EXPECT_EQ(messages.Take(),
                  (saved ? ShownMessages{} : ShownMessages{{c.message, MB_ICONERROR}}));
        std::vector<uint8_t> file = ReadFileBytes(path);
        EXPECT_EQ(file.size() > 8, saved);
        file.resize(std::min(file.size(), c.magic.size()));
        EXPECT_EQ(file, c.magic);
    }
    EXPECT_EQ(ReadFileBytes(folder / L"Glimpser 7.png").size(), 3u) << "left as it was";
    EXPECT_EQ(CountMatching(folder / L"*.tmp"), 0);
}

// A process killed before the rename leaves its temporary file: not history, and no obstacle to
// the next capture under the same name.
TEST_F(ImageSaving, AnInterruptedWriteLeavesNoHistoryFile) {
    const std::wstring path = folder / L"Glimpser 12.png";
    for (const PngFileStep step : {PngFileStep::Create, PngFileStep::Write, PngFileStep::Flush,
                                   PngFileStep::Rename, PngFileStep::Crash}) {
        SCOPED_TRACE(static_cast<int>(step));
        SetPngFileFailureForTesting(step);
        EXPECT_FALSE(SaveImage(bitmap.Get(), Utf8(path), 96));
        EXPECT_EQ(messages.Take(), (ShownMessages{{"Failed to save file", MB_ICONERROR}}));
        EXPECT_EQ(CountMatching(folder / L"Glimpser *.png"), 0);
        EXPECT_EQ(CountMatching(folder / L"*"), step == PngFileStep::Crash ? 1 : 0);
    }
    SetPngFileFailureForTesting(PngFileStep::None);
    EXPECT_TRUE(SaveImage(bitmap.Get(), Utf8(path), 96));
    EXPECT_EQ(CountMatching(folder / L"Glimpser *.png"), 1);
    EXPECT_EQ(CountMatching(folder / L"*"), 1);
}

}  // namespace
