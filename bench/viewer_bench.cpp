// Speed and memory of the viewer: the paint time of a full client area of a maximized viewer
// showing a 3840x2160 capture (photo and text) at every zoom, sharp and smooth; the peak memory
// of a viewer showing it; the smooth paint at 120% of the same picture as a history image and
// as a capture again; and the time to the first paint of a view-only viewer over a history of
// 10,000 files.
// Prints "name: value unit" lines.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "bench/bench_clock.h"
#include "capture/capture_session.h"
#include "imaging/bitmap_utils.h"
#include "imaging/gdiplus_lifetime.h"
#include "imaging/image_saving.h"
#include "tessel/format.h"
#include "viewer/main_window.h"
#include "viewer/zoom_geometry.h"
#include "win/command_ids.h"
#include "win/scoped_win.h"
#include "win/settings.h"
#include "win/win_text.h"

namespace {

constexpr int kImageWidth = 3840;
constexpr int kImageHeight = 2160;
constexpr int kHistoryFiles = 10000;
constexpr int kPaintRounds = 11;
constexpr wchar_t kSettingsKey[] = L"Software\\Tarrowby Software\\Glimpser";

struct Peaks {
    double privateMegabytes;
    double workingSetMegabytes;
};

Peaks PeakMemory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    constexpr double kMegabyte = 1024.0 * 1024.0;
    return Peaks{static_cast<double>(counters.PeakPagefileUsage) / kMegabyte,
                 static_cast<double>(counters.PeakWorkingSetSize) / kMegabyte};
}

// A screen-like pixel: the left half a photo (soft shapes and grain), the right half dark text
// in lines on a light page.
uint32_t ScreenPixel(int x, int y, int width) {
    uint32_t grain = (static_cast<uint32_t>(x) * 2654435761u ^ static_cast<uint32_t>(y) * 40503u);
    grain = (grain ^ (grain >> 15)) & 0x0F;
    if (x < width / 2) {
        int r = 128 + static_cast<int>(90 * std::sin(x / 97.0) * std::cos(y / 61.0));
        int g = 110 + static_cast<int>(80 * std::sin((x + y) / 143.0));
        int b = 90 + static_cast<int>(70 * std::cos((x - y) / 211.0));
        return static_cast<uint32_t>(r + grain) << 16 | static_cast<uint32_t>(g + grain) << 8 |
               static_cast<uint32_t>(b + grain);
    }
    // Glyph cells of 9 by 16 pixels with strokes where a hash says so, lines 20 pixels apart.
    int line = y / 20, row = y % 20, column = x / 9, cell = x % 9;
    uint32_t glyph = static_cast<uint32_t>(line * 7919 + column * 104729) * 2246822519u;
    bool ink = row >= 3 && row < 15 && cell < 7 && (column % 11) != 10 &&
               (((glyph >> (row % 8)) & 1) != 0
                    ? cell == 1 || cell == 5
                    : ((glyph >> (8 + cell)) & 1) != 0 && (row == 3 || row == 9 || row == 14));
    return ink ? 0x202020u : 0xF8F8F4u;
}

// A capture, as the capture session makes it, of screen-like content.
HBITMAP MakeCapture(int width, int height) {
    ScopedWindowDC screen(nullptr);
    HBITMAP bitmap = GrabScreen(RECT{0, 0, width, height});
    BITMAPINFO info = Make32BitDibInfo(width, -1);
    static uint32_t row[kImageWidth];
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            row[x] = ScreenPixel(x, y, width);
        }
        SetDIBits(screen.Get(), bitmap, static_cast<UINT>(height - 1 - y), 1, row, &info,
                  DIB_RGB_COLORS);
    }
    return bitmap;
}

// The same content as a history file decodes to: an upright 32-bit DIB section.
HBITMAP MakeHistoryImage(int width, int height) {
    BITMAPINFO info = Make32BitDibInfo(width, height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    for (int y = 0; bitmap && y < height; ++y) {
        uint32_t* row = static_cast<uint32_t*>(bits) + static_cast<size_t>(height - 1 - y) * width;
        for (int x = 0; x < width; ++x) {
            row[x] = ScreenPixel(x, y, width);
        }
    }
    return bitmap;
}

HWND CreateViewer(CMainWindow& viewer) {
    RECT zero{0, 0, 0, 0};
    return viewer.Create(nullptr, zero, L"Glimpser (100%)", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                         WS_EX_TOPMOST);
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

struct PaintTimes {
    double median;
    double fastest;  // least disturbed by other work on a shared machine
};

// Milliseconds to repaint the whole client area, scrolled to the middle of the image.
PaintTimes FullPaintMs(CMainWindow& viewer) {
    HWND window = viewer.hwnd;
    SendMessageW(window, WM_HSCROLL, SB_RIGHT, 0);
    SendMessageW(window, WM_VSCROLL, SB_BOTTOM, 0);
    SetScrollPos(window, SB_HORZ, GetScrollPos(window, SB_HORZ) / 2, TRUE);
    SetScrollPos(window, SB_VERT, GetScrollPos(window, SB_VERT) / 2, TRUE);
    viewer.ApplyScroll();
    Pump();
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);  // the first paint at a zoom also sizes the paint buffer
    double times[kPaintRounds];
    for (double& time : times) {
        double start = NowMs();
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
        GdiFlush();
        time = NowMs() - start;
    }
    std::sort(times, times + kPaintRounds);
    return PaintTimes{times[kPaintRounds / 2], times[0]};
}

void BenchPainting() {
    Peaks before = PeakMemory();
    double imageMegabytes = kImageWidth * 4.0 * kImageHeight / (1024.0 * 1024.0);
    CMainWindow viewer;
    viewer.SetImage(MakeCapture(kImageWidth, kImageHeight));
    HWND window = CreateViewer(viewer);
    // Maximized by hand, the window keeps one full-screen client area through every zoom.
    ShowWindow(window, SW_MAXIMIZE);
    Pump();
    RECT client{};
    GetClientRect(window, &client);
    std::printf("client_area: %ldx%ld px\n", client.right, client.bottom);
    PaintTimes slowestSmooth{0, 0};
    for (int index = 0; index < kZoomStepCount; ++index) {
        viewer.SetZoom(index);
        SendMessageW(window, WM_COMMAND, ID_SMOOTH_DISABLED, 0);
        PaintTimes sharp = FullPaintMs(viewer);
        SendMessageW(window, WM_COMMAND, ID_SMOOTH_ENABLED, 0);
        PaintTimes smooth = FullPaintMs(viewer);
        slowestSmooth.median = std::max(slowestSmooth.median, smooth.median);
        slowestSmooth.fastest = std::max(slowestSmooth.fastest, smooth.fastest);
        std::printf("paint_%d: sharp %.2f ms (fastest %.2f), smooth %.2f ms (fastest %.2f)\n",
                    static_cast<int>(ZoomSteps[index]), sharp.median, sharp.fastest, smooth.median,
                    smooth.fastest);
    }
    std::printf("paint_smooth_slowest_zoom: %.2f ms (fastest %.2f)\n", slowestSmooth.median,
                slowestSmooth.fastest);
    Peaks peak = PeakMemory();
    std::printf("image_size: %.1f MB\n", imageMegabytes);
    std::printf("peak_private_before_image: %.1f MB\n", before.privateMegabytes);
    std::printf("peak_private_with_viewer: %.1f MB\n", peak.privateMegabytes);
    std::printf("viewer_private_over_image: %.2f x\n",
                (peak.privateMegabytes - before.privateMegabytes) / imageMegabytes);
    std::printf("peak_working_set_before_image: %.1f MB\n", before.workingSetMegabytes);
    std::printf("peak_working_set_with_viewer: %.1f MB\n", peak.workingSetMegabytes);
    std::printf("viewer_working_set_over_image: %.2f x\n",
                (peak.workingSetMegabytes - before.workingSetMegabytes) / imageMegabytes);
    // Both are painted from their own rows: a capture and an image file read into a 32-bit DIB
    // section.
    for (int round = 0; round < 2; ++round) {
        viewer.SetImage(round == 0 ? MakeHistoryImage(kImageWidth, kImageHeight)
                                   : MakeCapture(kImageWidth, kImageHeight));
        viewer.SetZoom(2);
        PaintTimes smooth = FullPaintMs(viewer);
        std::printf("paint_120_smooth_%s: %.2f ms (fastest %.2f)\n",
                    round == 0 ? "history_image" : "capture_again", smooth.median, smooth.fastest);
    }
    DestroyWindow(window);
}

void DeleteFolder(const Tessel::String& folder) {
    WIN32_FIND_DATAW found{};
    ScopedFind find(FindFirstFileW(WStr(ToWide(Tessel::Format("%s\\*", folder.CStr()))), &found));
    if (find) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileW(WStr(ToWide(
                    Tessel::Format("%s\\%s", folder.CStr(), ToUtf8(found.cFileName).CStr()))));
            }
        } while (FindNextFileW(find.Get(), &found));
    }
    RemoveDirectoryW(WStr(ToWide(folder)));
}

void BenchFirstPaintOverLargeHistory() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    Tessel::String folder = Tessel::Format("%sglimpser-viewer-bench-%u", ToUtf8(temp).CStr(),
                                           static_cast<unsigned>(GetCurrentProcessId()));
    CreateDirectoryW(WStr(ToWide(folder)), nullptr);
    Tessel::String first = Tessel::Format("%s\\Glimpser 1.png", folder.CStr());
    {
        ScopedBitmap bitmap(MakeCapture(640, 480));
        SaveImage(bitmap.Get(), first, 96);
    }
    for (int i = 2; i <= kHistoryFiles; ++i) {
        Tessel::String path = Tessel::Format("%s\\Glimpser %i.png", folder.CStr(), i);
        CopyFileW(WStr(ToWide(first)), WStr(ToWide(path)), FALSE);
    }
    SetSettingString("Settings", "HistoryFolder", folder);
    SetSettingInt("Settings", "MaxHistory", -1);
    for (const char* name : {"first_paint_10000_files_cold", "first_paint_10000_files_warm"}) {
        double start = NowMs();
        CMainWindow viewer;
        HWND window = CreateViewer(viewer);
        UpdateWindow(window);
        double elapsed = NowMs() - start;
        std::printf("%s: %.1f ms\n", name, elapsed);
        DestroyWindow(window);
    }
    DeleteFolder(folder);
}

}  // namespace

int main() {
    SetProcessDPIAware();
    CoInitialize(nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    std::printf("screen: %dx%d px\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    {
        GdiplusLifetime gdiplus;
        BenchPainting();
        BenchFirstPaintOverLargeHistory();
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    CoUninitialize();
    return 0;
}
