// One capture driven end to end through the real processes, from the tray's icon to the PNG
// in the history: prints the start-up time to the overlay (less the fixed 400 ms wait), the
// time from the mouse release to the file on disk, and the peak memory of the capture process
// and of the tray.
//
// With "same LEFT TOP RIGHT BOTTOM RUNS COPY" it instead times RUNS processes of
// "/capture:same" on that region, phase by phase, without touching the mouse, prints the
// medians, and copies the last history file to COPY.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "bench/message_watch_client.h"
#include "e2e/e2e_support.h"
#include "support/input.h"

namespace {
double PeakMegabytes(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    BOOL ok = process && GetProcessMemoryInfo(process, &counters, sizeof counters);
    if (process)
        CloseHandle(process);
    return ok ? static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0) : -1;
}

bool FileComplete(const std::wstring& path) {
    Image image;
    return ReadImage(path, image) && image.width > 0;
}
}  // namespace

// Phases of one "/capture:same" process, in milliseconds from the call that starts it.
struct RoadTimes {
    double created = 0;          // the process exists
    double marker = 0;           // the capture mutex exists: our code runs
    double overlayShown = 0;     // the overlay window is visible
    double overlayPainted = 0;   // its first WM_PAINT has returned
    double firstMouse = 0;       // it took its first mouse message
    double overlayHidden = 0;    // its loop has ended
    double fileCreated = 0;      // the history file (or its temporary) exists
    double fileComplete = 0;     // it has its name and the writer has closed it
    double viewerShown = 0;      // the viewer window is visible
    double viewerPainted = 0;    // its first WM_PAINT has returned
    double releaseToPaint = 0;   // from the overlay's end (the release) to the viewer's paint
    double releaseToPng = 0;     // from the overlay's end to the complete PNG
    double startWorkingSet = 0;  // MiB, when the capture starts: what the process needs anyway
    double peakWorkingSet = 0;   // MiB, read from the process before it ends
    double peakPagefile = 0;
    double pngBytes = 0;
    bool movedMouse = false;  // no mouse message came until the pointer moved
};

LARGE_INTEGER watchedEvents[4];

LRESULT CALLBACK WatcherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kWatchReport && wParam < 4) {
        watchedEvents[wParam].QuadPart = static_cast<LONGLONG>(lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The history file, or the temporary file it is written under before it takes its name.
bool Started(const std::wstring& path) {
    size_t slash = path.find_last_of(L'\\');
    std::wstring name = path.substr(slash + 1);
    std::wstring pattern =
        path.substr(0, slash + 1) + L"~" + name.substr(0, name.size() - 4) + L".*.tmp";
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern.c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
        return true;
    }
    return Exists(path);
}

// The writer has closed the file when nobody else holds it open.
bool Closed(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    CloseHandle(file);
    return size.QuadPart > 0;
}

bool OneSameRegionRun(const std::wstring& file, RoadTimes& t) {
    for (auto& event : watchedEvents)
        event.QuadPart = 0;
    const double start = NowMs();
    GlimpserProcess capture(L"/capture:same");
    t.created = NowMs() - start;
    DWORD id = capture.Id();
    HWND overlay = nullptr, viewer = nullptr;
    double* pending[] = {&t.marker,      &t.overlayShown, &t.overlayHidden,
                         &t.fileCreated, &t.fileComplete, &t.viewerShown};
    while (NowMs() - start < 60000) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        double now = NowMs() - start;
        // Each phase is looked for on its own: a same-region overlay may come and go between
        // two looks.
        if (t.marker == 0) {
            HANDLE marker = OpenMutexW(SYNCHRONIZE, FALSE, L"TarrowbySoftware.Glimpser.Capturing");
            if (marker) {
                t.marker = now;
                CloseHandle(marker);
                PROCESS_MEMORY_COUNTERS counters{};
                counters.cb = sizeof counters;
                HANDLE process =
                    OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
                if (process && GetProcessMemoryInfo(process, &counters, sizeof counters))
                    t.startWorkingSet =
                        static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
                if (process)
                    CloseHandle(process);
            }
        }
        if (t.overlayShown == 0 && t.fileCreated == 0) {
            overlay = FindProcessWindow(id, L"", true);
            if (overlay)
                t.overlayShown = now;
        } else if (overlay && t.overlayHidden == 0) {
            if (!IsWindow(overlay) || !IsWindowVisible(overlay))
                t.overlayHidden = now;
            else if (!t.movedMouse && now - t.overlayShown > 10000) {
                POINT at;
                GetCursorPos(&at);
                MoveMouseTo(at.x + 1, at.y);
                t.movedMouse = true;
            }
        }
        if (t.fileCreated == 0 && Started(file))
            t.fileCreated = now;
        if (t.fileCreated != 0 && t.fileComplete == 0 && Exists(file) && Closed(file))
            t.fileComplete = now;
        if (t.viewerShown == 0) {
            viewer = FindProcessWindow(id, L"Glimpser (", false);
            if (viewer)
                t.viewerShown = now;
        }
        if (t.fileComplete != 0 && t.viewerShown != 0 && watchedEvents[3].QuadPart != 0)
            break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    for (double* phase : pending)
        if (*phase == 0) {
            printf("(a phase was not seen: mutex %.0f, file %.0f, complete %.0f, viewer %.0f)\n",
                   t.marker, t.fileCreated, t.fileComplete, t.viewerShown);
            return false;
        }
    t.overlayPainted =
        watchedEvents[1].QuadPart ? CounterToMs(watchedEvents[1].QuadPart) - start : 0;
    t.firstMouse = watchedEvents[2].QuadPart ? CounterToMs(watchedEvents[2].QuadPart) - start : 0;
    t.viewerPainted = CounterToMs(watchedEvents[3].QuadPart) - start;
    t.releaseToPaint = t.viewerPainted - t.overlayHidden;
    t.releaseToPng = t.fileComplete - t.overlayHidden;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (process && GetProcessMemoryInfo(process, &counters, sizeof counters)) {
        t.peakWorkingSet = static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
        t.peakPagefile = static_cast<double>(counters.PeakPagefileUsage) / (1024.0 * 1024.0);
    }
    if (process)
        CloseHandle(process);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data);
    t.pngBytes = static_cast<double>(data.nFileSizeLow) + 4294967296.0 * data.nFileSizeHigh;
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    long exitCode = capture.WaitForExit(30000);
    if (exitCode != 0)
        printf("(exit code %ld)\n", exitCode);
    return exitCode == 0;
}

double Median(std::vector<RoadTimes>& runs, double RoadTimes::*field) {
    std::vector<double> values;
    for (const RoadTimes& run : runs)
        values.push_back(run.*field);
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int SameRegionRoad(int argc, wchar_t** argv) {
    if (argc < 8) {
        printf("usage: road_bench same LEFT TOP RIGHT BOTTOM RUNS COPY\n");
        return 2;
    }
    std::wstring region = std::wstring(argv[2]) + L"," + argv[3] + L"," + argv[4] + L"," + argv[5];
    int runs = _wtoi(argv[6]);
    HHOOK hook = StartMessageWatch(&WatcherProc);
    if (!hook)
        printf("(no message hook: paint and mouse phases not seen)\n");

    std::vector<RoadTimes> done;
    std::wstring file = HistoryFolder() + L"\\Glimpser 1.png";
    for (int run = 0; run < runs; ++run) {
        ResetUserState();
        WriteSettingString(L"CaptureRegion", region);
        RoadTimes t;
        if (!OneSameRegionRun(file, t)) {
            printf("error: run %d did not complete\n", run + 1);
            TerminateGlimpserProcesses();
            continue;
        }
        printf("run %d: start-to-PNG less 400 ms %.0f ms, first mouse message %s\n", run + 1,
               t.fileComplete - 400, t.movedMouse ? "only after the pointer moved" : "unprompted");
        done.push_back(t);
    }
    if (done.empty())
        return 1;
    if (!CopyFileW(file.c_str(), argv[7], FALSE))
        printf("error: could not copy the history file\n");
    struct Row {
        const char* name;
        double RoadTimes::*field;
    };
    const Row rows[] = {
        {"process created", &RoadTimes::created},
        {"capture running (mutex)", &RoadTimes::marker},
        {"overlay shown (400 ms wait and grab before it)", &RoadTimes::overlayShown},
        {"overlay first paint returned", &RoadTimes::overlayPainted},
        {"overlay first mouse message", &RoadTimes::firstMouse},
        {"overlay ended", &RoadTimes::overlayHidden},
        {"history file created (crop, viewer set-up)", &RoadTimes::fileCreated},
        {"history file complete (encode)", &RoadTimes::fileComplete},
        {"viewer shown", &RoadTimes::viewerShown},
        {"viewer first paint returned", &RoadTimes::viewerPainted},
    };
    printf("medians of %zu runs, ms from the call that starts the process:\n", done.size());
    for (const Row& row : rows)
        printf("  %-48s %8.1f\n", row.name, Median(done, row.field));
    printf("start_to_png_less_400_ms: %.1f\n", Median(done, &RoadTimes::fileComplete) - 400);
    printf("release_to_viewer_paint_ms: %.1f\n", Median(done, &RoadTimes::releaseToPaint));
    printf("release_to_png_ms: %.1f\n", Median(done, &RoadTimes::releaseToPng));
    printf("png_bytes: %.0f\n", Median(done, &RoadTimes::pngBytes));
    printf("start_working_set_mib: %.1f\n", Median(done, &RoadTimes::startWorkingSet));
    printf("peak_working_set_mib: %.1f\n", Median(done, &RoadTimes::peakWorkingSet));
    printf("peak_pagefile_mib: %.1f\n", Median(done, &RoadTimes::peakPagefile));
    if (hook)
        StopMessageWatch(hook);
    return 0;
}

int main() {
    SetProcessDPIAware();
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc > 1 && wcscmp(argv[1], L"same") == 0)
        return SameRegionRoad(argc, argv);
    ResetUserState();
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    printf("screen: %dx%d\n", width, height);

    // Start-up to overlay, for a capture process started directly.
    PatternWindow pattern;
    double startup = 0;
    {
        const double start = NowMs();
        GlimpserProcess capture(L"/capture:region");
        if (!WaitForProcessWindow(capture.Id(), L"", true, 30000)) {
            printf("error: no overlay\n");
            return 1;
        }
        startup = NowMs() - start - 400;
        PressKey(VK_ESCAPE);
        capture.WaitForExit(30000);
    }
    printf("process start to overlay shown, less 400 ms: %.1f ms\n", startup);

    // The whole road from the tray.
    GlimpserProcess tray(L"/tray");
    PumpMessagesFor(1500);
    HWND trayWindow = FindWindowW(nullptr, L"Glimpser Tray");
    SendMessageW(trayWindow, WM_APP + 1, 0, MAKELPARAM(0x0400, 1));
    DWORD captureId = 0;
    if (!WaitForAnyOverlay(&captureId, 30000)) {
        printf("error: the tray launched no capture\n");
        return 1;
    }
    PumpMessagesFor(300);
    int right = width * 3 / 4, bottom = height * 3 / 4;
    MoveMouseTo(width / 4, height / 4);
    PumpMessagesFor(100);
    MouseButton(true, true);
    PumpMessagesFor(100);
    MoveMouseTo(right - 1, bottom - 1);
    PumpMessagesFor(200);
    std::wstring file = HistoryFolder() + L"\\Glimpser 1.png";
    const double release = NowMs();
    MouseButton(true, false);
    auto written = [](void* path) { return FileComplete(*static_cast<std::wstring*>(path)); };
    if (!PumpMessagesUntil(written, &file, 60000)) {
        printf("error: no history file\n");
        return 1;
    }
    double toDisk = NowMs() - release;
    HWND viewer = WaitForProcessWindow(captureId, L"Glimpser (", false, 30000);
    printf("region: %dx%d\n", right - width / 4, bottom - height / 4);
    printf("mouse release to PNG on disk: %.1f ms\n", toDisk);
    printf("peak memory of the capture process: %.1f MiB\n", PeakMegabytes(captureId));
    printf("peak memory of the tray: %.1f MiB\n", PeakMegabytes(tray.Id()));
    if (viewer)
        PostMessageW(viewer, WM_CLOSE, 0, 0);
    PumpMessagesFor(1000);
    TerminateGlimpserProcesses();
    return 0;
}
