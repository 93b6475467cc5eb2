// Opens realistic captures (photo-like fractal, a page of text, a menu bar) as the viewer opens a
// history file: the program's own PNG reader (ReadImageFile: the file read, inflated and
// unfiltered straight into the DIB section) beside GDI+'s decoder and the copy into a DIB section
// that the viewer made before, alternating in one run. The files are those the program writes.
// With a folder argument the files are copied there, so that bench/decode_bench.sh can time a
// native decoder on the same bytes.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/bench_timings.h"
#include "imaging/bitmap_utils.h"
#include "imaging/gdiplus_lifetime.h"
#include "imaging/image_file_reader.h"
#include "imaging/png_file.h"
#include "support/bitmap_pixels.h"
#include "support/realistic_picture.h"
#include "support/temp_folder.h"
#include "win/scoped_win.h"
#include "win/win_text.h"

namespace {

constexpr int kRuns = 7;

bool Measure(int width, int height, const TempFolder& folder, const wchar_t* keepIn) {
    const std::wstring name =
        L"Glimpser " + std::to_wstring(width) + L"x" + std::to_wstring(height) + L".png";
    const std::wstring path = folder / name;
    {
        const ScopedBitmap capture(MakeRealisticPicture(width, height));
        if (WritePngFile(capture.Get(), ToUtf8(path.c_str()), 96, true) != PngFileResult::Written)
            return false;
    }
    WIN32_FILE_ATTRIBUTE_DATA file{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &file);
    std::printf("capture: %dx%d, PNG %.2f MB\n", width, height, file.nFileSizeLow / 1e6);

    const Tessel::String utf8 = ToUtf8(path.c_str());
    Timings own, gdiplus;
    bool same = true;
    for (int run = 0; run < kRuns; ++run) {
        ScopedBitmap ours, theirs;
        own.Run([&] { ours.Reset(ReadImageFile(utf8)); });
        gdiplus.Run([&] { theirs.Reset(BitmapFromGdiplus(LoadBitmapForGdiplus(utf8).Get())); });
        same = same && ours && theirs && BitmapPixels(ours.Get()) == BitmapPixels(theirs.Get());
    }
    Print("  own reader", own);
    Print("  GDI+      ", gdiplus);
    std::printf("  same pixels: %s\n", same ? "yes" : "NO");
    if (keepIn != nullptr)
        CopyFileW(path.c_str(), (std::wstring(keepIn) + L"\\" + name).c_str(), FALSE);
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    const GdiplusLifetime gdiplus;
    const TempFolder folder;
    const Tessel::WString keepFolder = ToWide(argc > 1 ? argv[1] : "");
    const wchar_t* keepIn = argc > 1 ? WStr(keepFolder) : nullptr;
    bool ok = Measure(1920, 1080, folder, keepIn);
    ok = Measure(3840, 2160, folder, keepIn) && ok;
    return ok ? 0 : 1;
}
