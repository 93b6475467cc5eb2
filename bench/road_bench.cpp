// One capture driven end to end through the real processes, from the tray's icon to the PNG
// in the history: prints the start-up time to the overlay (less the fixed 400 ms wait), the
// time from the mouse release to the file on disk, and the peak memory of the capture process
// and of the tray.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "e2e/e2e_support.h"
#include "support/input.h"

namespace {
double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

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

int main() {
    SetProcessDPIAware();
    ResetUserState();
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    printf("screen: %dx%d\n", width, height);

    // Start-up to overlay, for a capture process started directly.
    PatternWindow pattern;
    double startup = 0;
    {
        LARGE_INTEGER start = Now();
        GlimpserProcess capture(L"/capture:region");
        if (!WaitForProcessWindow(capture.Id(), L"", true, 30000)) {
            printf("error: no overlay\n");
            return 1;
        }
        startup = Milliseconds(start, Now()) - 400;
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
    LARGE_INTEGER release = Now();
    MouseButton(true, false);
    auto written = [](void* path) { return FileComplete(*static_cast<std::wstring*>(path)); };
    if (!PumpMessagesUntil(written, &file, 60000)) {
        printf("error: no history file\n");
        return 1;
    }
    double toDisk = Milliseconds(release, Now());
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
