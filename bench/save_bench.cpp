// Writes a realistic capture (photo-like fractal, a page of text, a menu bar) into the history
// the way the viewer does, with the program's own PNG writer (SaveImage: pixels read, encoded,
// flushed and renamed into place), and the same pixels through GDI+'s PNG encoder beside it.
// Prints time and file size for 1920x1080 and 3840x2160, the encoder alone in bands (one per
// core) and in one band, and where a second band starts to pay. With a folder argument the
// files are copied there, e.g. to compare them with other encoders.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench/bench_timings.h"
#include "imaging/bitmap_utils.h"
#include "imaging/gdiplus_lifetime.h"
#include "imaging/image_saving.h"
#include "imaging/png_encoder.h"
#include "support/bitmap_pixels.h"
#include "support/realistic_picture.h"
#include "support/temp_folder.h"
#include "win/show_message.h"
#include "win/win_text.h"

using namespace Gdiplus::DllExports;

namespace {

constexpr int kRuns = 5;

double MiB(size_t bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

size_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA file{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &file);
    return static_cast<size_t>(file.nFileSizeHigh) << 32 | file.nFileSizeLow;
}

int Silent(const Tessel::String& text, uint32_t) {
    std::printf("message: %s\n", text.CStr());
    return IDOK;
}

CLSID GdiplusPngEncoder() {
    CLSID found{};
    UINT count = 0;
    UINT size = 0;
    GdipGetImageEncodersSize(&count, &size);
    std::vector<uint8_t> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    GdipGetImageEncoders(count, size, codecs);
    for (UINT i = 0; i < count; ++i) {
        if (std::wcscmp(codecs[i].MimeType, L"image/png") == 0)
            found = codecs[i].Clsid;
    }
    return found;
}

struct CountingSink : IByteSink {
    bool Write(const uint8_t*, size_t size) override {
        bytes += size;
        return true;
    }
    size_t bytes = 0;
};

// The history write as the program did it before it had its own encoder.
bool SaveWithGdiplus(HBITMAP capture, const std::wstring& path, const CLSID& encoder) {
    Tessel::OwnedPtr<GdiplusBitmap> wrapper = WrapBitmapForGdiplus(capture);
    GdipBitmapSetResolution(wrapper->Native(), 96.0f, 96.0f);
    return GdipSaveImageToFile(wrapper->Native(), path.c_str(), &encoder, nullptr) == Gdiplus::Ok;
}

bool Measure(int width, int height, const TempFolder& folder, const wchar_t* keepIn) {
    std::printf("capture: %dx%d pixels (%.1f MiB of 32-bit pixels)\n", width, height,
                MiB(static_cast<size_t>(width) * height * 4));
    const HBITMAP capture = MakeRealisticPicture(width, height);
    const std::wstring size = std::to_wstring(width) + L"x" + std::to_wstring(height);
    const std::wstring own = folder / (L"Glimpser " + size + L".png");
    const std::wstring gdiplus = folder / (L"gdiplus " + size + L".png");
    bool saved = true;

    Timings ownTimes;
    for (int run = 0; run < kRuns; ++run) {
        DeleteFileW(own.c_str());
        ownTimes.Run([&] { saved = saved && SaveImage(capture, ToUtf8(own.c_str()), 96); });
    }

    // The encoder alone, on pixels already read and with no file: the rest of SaveImage is
    // reading the bitmap and writing the file.
    const SIZE extent = BitmapSize(capture);
    const std::vector<uint32_t> pixels = BitmapPixels(capture);
    const PngPicture picture{reinterpret_cast<const uint8_t*>(pixels.data()),
                             static_cast<uint32_t>(extent.cx), static_cast<uint32_t>(extent.cy),
                             static_cast<size_t>(extent.cx) * 4, 96};
    Timings encodeTimes;
    CountingSink inBands;
    for (int run = 0; run < kRuns; ++run) {
        inBands.bytes = 0;
        encodeTimes.Run([&] { saved = saved && EncodePng(picture, inBands); });
    }
    PngPicture oneBand = picture;
    oneBand.bands = 1;
    Timings oneBandTimes;
    CountingSink whole;
    for (int run = 0; run < kRuns; ++run) {
        whole.bytes = 0;
        oneBandTimes.Run([&] { saved = saved && EncodePng(oneBand, whole); });
    }

    const CLSID encoder = GdiplusPngEncoder();
    Timings gdiplusTimes;
    for (int run = 0; run < kRuns; ++run) {
        gdiplusTimes.Run([&] { saved = saved && SaveWithGdiplus(capture, gdiplus, encoder); });
    }
    DeleteObject(capture);
    if (!saved)
        return false;

    const size_t ownBytes = FileSize(own);
    const size_t gdiplusBytes = FileSize(gdiplus);
    Print("own_png_save", ownTimes);
    Print("own_png_encode_only", encodeTimes);
    Print("own_png_encode_one_band", oneBandTimes);
    std::printf("own_png_bands_to_one_band: %.2f x the time, %.4f x the size (%zu bytes)\n",
                Median(encodeTimes.wallMs) / Median(oneBandTimes.wallMs),
                static_cast<double>(inBands.bytes) / static_cast<double>(whole.bytes),
                inBands.bytes);
    std::printf("own_png_size: %.3f MB (%zu bytes)\n", ownBytes / 1e6, ownBytes);
    Print("gdiplus_png_save", gdiplusTimes);
    std::printf("gdiplus_png_size: %.3f MB (%zu bytes)\n", gdiplusBytes / 1e6, gdiplusBytes);
    std::printf("own_to_gdiplus: %.2f x the processor time, %.2f x the size\n",
                Median(ownTimes.cpuMs) / Median(gdiplusTimes.cpuMs),
                static_cast<double>(ownBytes) / static_cast<double>(gdiplusBytes));
    if (keepIn != nullptr) {
        CopyFileW(own.c_str(), (std::wstring(keepIn) + L"\\own-" + size + L".png").c_str(), FALSE);
        CopyFileW(gdiplus.c_str(), (std::wstring(keepIn) + L"\\gdiplus-" + size + L".png").c_str(),
                  FALSE);
    }
    return true;
}

// The encoder alone on small captures in one band and in two: below some size a thread and a
// fresh compression window cost more than the second core saves.
void MeasureSecondBand() {
    for (const SIZE size :
         {SIZE{320, 240}, SIZE{512, 384}, SIZE{640, 480}, SIZE{800, 600}, SIZE{1024, 768}}) {
        const HBITMAP capture = MakeRealisticPicture(size.cx, size.cy);
        const std::vector<uint32_t> pixels = BitmapPixels(capture);
        DeleteObject(capture);
        PngPicture picture{reinterpret_cast<const uint8_t*>(pixels.data()),
                           static_cast<uint32_t>(size.cx), static_cast<uint32_t>(size.cy),
                           static_cast<size_t>(size.cx) * 4, 96};
        Timings timings[2];
        size_t bytes[2] = {};
        for (int run = 0; run < kRuns * 4; ++run) {
            for (uint32_t bands = 1; bands <= 2; ++bands) {
                picture.bands = bands;
                CountingSink sink;
                timings[bands - 1].Run([&] { EncodePng(picture, sink); });
                bytes[bands - 1] = sink.bytes;
            }
        }
        std::printf(
            "second_band_%ldx%ld (%.0f KiB of rows): one band %.2f ms, two %.2f ms, %.4f x the "
            "size\n",
            size.cx, size.cy, (size.cx * 3.0 + 1) * size.cy / 1024, Median(timings[0].wallMs),
            Median(timings[1].wallMs),
            static_cast<double>(bytes[1]) / static_cast<double>(bytes[0]));
    }
}

}  // namespace

int main(int argc, char** argv) {
    SetProcessDPIAware();
    CoInitialize(nullptr);
    SetMessageHookForTesting(Silent);
    const TempFolder folder;
    const GdiplusLifetime gdiplus;
    const Tessel::WString keepIn = ToWide(argc > 1 ? argv[1] : "");
    const wchar_t* keep = argc > 1 ? WStr(keepIn) : nullptr;
    const bool measured = Measure(1920, 1080, folder, keep) && Measure(3840, 2160, folder, keep);
    MeasureSecondBand();
    if (!measured)
        std::printf("save failed\n");
    CoUninitialize();
    return measured ? 0 : 1;
}
