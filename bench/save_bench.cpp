// Writes a 3840x2160 capture into the history the way the viewer does (SaveImage to PNG with
// the display's DPI, GDI+ held started) and puts a plain copy of the same pixels beside it as
// the floor no encoder can beat. Prints time, peak memory and file size.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/gdiplus_lifetime.h"
#include "imaging/image_saving.h"
#include "support/content_types.h"
#include "support/temp_folder.h"
#include "win/show_message.h"
#include "win/win_text.h"

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;
constexpr int kRuns = 5;

double Now() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters;
}

double MiB(size_t bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// Something like a desktop: flat panels, rules and a lot of text, in a display-compatible
// bitmap as a capture is.
HBITMAP MakeCapture() {
    const HDC screen = GetDC(nullptr);
    const HBITMAP capture = CreateCompatibleBitmap(screen, kWidth, kHeight);
    const HDC memory = CreateCompatibleDC(screen);
    const HGDIOBJ previous = SelectObject(memory, capture);
    uint32_t seed = 12345;
    const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int panel = 0; panel < 60; ++panel) {
        const int left = static_cast<int>(next() % kWidth);
        const int top = static_cast<int>(next() % kHeight);
        const RECT rect{left, top, left + 200 + static_cast<int>(next() % 1400),
                        top + 100 + static_cast<int>(next() % 800)};
        const HBRUSH brush = CreateSolidBrush(next() & 0xFFFFFF);
        FillRect(memory, &rect, brush);
        DeleteObject(brush);
    }
    SetBkMode(memory, TRANSPARENT);
    const wchar_t line[] = L"The quick brown fox jumps over the lazy dog 0123456789 (){}[]";
    for (int y = 0; y < kHeight; y += 18) {
        SetTextColor(memory, next() & 0x7F7F7F);
        TextOutW(memory, static_cast<int>(next() % 400), y, line,
                 static_cast<int>(std::size(line)) - 1);
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return capture;
}

int Silent(const Tessel::String& text, uint32_t) {
    std::printf("message: %s\n", text.CStr());
    return IDOK;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    SetProcessDPIAware();
    CoInitialize(nullptr);
    SetMessageHookForTesting(Silent);
    const ScopedContentTypes types{{{L".png", L"image/png"}}};
    const TempFolder folder;
    const GdiplusLifetime gdiplus;
    std::printf("capture: %dx%d pixels\n", kWidth, kHeight);

    const HBITMAP capture = MakeCapture();
    const Tessel::String path = ToUtf8((folder / L"Glimpser 1.png").c_str());
    // Peak memory is a high-water mark, so the saves come first and are measured against what
    // the process holds just before them.
    const size_t workingBefore = Memory().WorkingSetSize;
    std::vector<double> saveMs;
    for (int run = 0; run < kRuns; ++run) {
        const double start = Now();
        if (!SaveImage(capture, path, 96)) {
            std::printf("save failed\n");
            return 1;
        }
        saveMs.push_back((Now() - start) * 1000.0);
    }
    const PROCESS_MEMORY_COUNTERS after = Memory();

    // The floor: one copy of the capture's 32-bit pixels.
    std::vector<uint8_t> source(static_cast<size_t>(kWidth) * kHeight * 4, 0x5A);
    std::vector<uint8_t> target(source.size());
    std::vector<double> copyMs;
    for (int run = 0; run < kRuns; ++run) {
        const double start = Now();
        std::memcpy(target.data(), source.data(), source.size());
        copyMs.push_back((Now() - start) * 1000.0);
    }
    std::printf("memcpy_pixels_median: %.2f ms\n", Median(copyMs));

    std::printf("save_png_median: %.1f ms\n", Median(saveMs));
    std::printf("save_png_fastest: %.1f ms\n", *std::min_element(saveMs.begin(), saveMs.end()));
    std::printf("save_png_to_memcpy_ratio: %.0f x\n", Median(saveMs) / Median(copyMs));
    std::printf("save_png_peak_working_set_growth: %.1f MiB\n",
                MiB(after.PeakWorkingSetSize - workingBefore));
    std::printf("capture_pixel_bytes: %.1f MiB\n", MiB(static_cast<size_t>(kWidth) * kHeight * 4));

    WIN32_FILE_ATTRIBUTE_DATA file{};
    GetFileAttributesExW((folder / L"Glimpser 1.png").c_str(), GetFileExInfoStandard, &file);
    std::printf("png_file_size: %.1f KiB\n", static_cast<double>(file.nFileSizeLow) / 1024.0);
    std::printf("save_png_throughput: %.1f MiB/s\n",
                MiB(static_cast<size_t>(kWidth) * kHeight * 4) / (Median(saveMs) / 1000.0));
    DeleteObject(capture);
    CoUninitialize();
    return 0;
}
