// Speed and memory of one capture on the current display: the time from the end of the 400 ms
// settle sleep to the overlay's first paint, GrabScreen and CropBitmap times, and the process's
// peak memory against the frozen image and the result. Prints "name: value unit" lines.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "bench/bench_clock.h"
#include "capture/capture_region.h"
#include "capture/capture_session.h"

namespace {

RECT VirtualScreen() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// What the message hook saw of the overlay during one session.
struct SessionWatch {
    double paintTaken = 0;       // the first WM_PAINT taken from the queue
    double paintDone = 0;        // the next message taken after it: the paint has finished
    UINT endMessage = WM_CLOSE;  // posted after the first paint to end the session
    HWND overlay = nullptr;
};
SessionWatch watch;

LRESULT CALLBACK WatchMessages(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        if (watch.paintTaken != 0 && watch.paintDone == 0) {
            watch.paintDone = NowMs();
        }
        if (msg->message == WM_PAINT && watch.paintTaken == 0) {
            watch.paintTaken = NowMs();
            watch.overlay = msg->hwnd;
            // The overlay handles it after this paint; same-region mode then ends at once.
            PostMessageW(msg->hwnd, watch.endMessage, 0, MAKELPARAM(10, 10));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Runs one session ended by the hook; answers the start time.
HBITMAP WatchedSession(UINT endMessage, RECT& region, double& start) {
    watch = SessionWatch{};
    watch.endMessage = endMessage;
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, &WatchMessages, nullptr, GetCurrentThreadId());
    start = NowMs();
    bool cancelled = false;
    HBITMAP result = RunCaptureSession(0, false, region, &cancelled);
    UnhookWindowsHookEx(hook);
    return result;
}

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters;
}

double Mib(SIZE_T bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

}  // namespace

int main() {
    SetProcessDPIAware();
    const RECT screen = VirtualScreen();
    const int width = screen.right - screen.left;
    const int height = screen.bottom - screen.top;
    std::printf("screen: %dx%d pixels\n", width, height);

    // Memory first, while the peak is still this process's baseline: one whole-screen capture
    // in same-region mode, which grabs the region alone and ends before any paint.
    const PROCESS_MEMORY_COUNTERS before = Memory();
    RECT whole{0, 0, width, height};
    double start = 0;
    HBITMAP result = WatchedSession(WM_MOUSEMOVE, whole, start);
    const PROCESS_MEMORY_COUNTERS after = Memory();
    const double imageMib = Mib(static_cast<SIZE_T>(width) * height * 4);
    std::printf("frozen_image: %.1f MiB\n", imageMib);
    std::printf("result_image: %.1f MiB\n", result ? imageMib : 0.0);
    std::printf("peak_working_set_growth: %.1f MiB\n",
                Mib(after.PeakWorkingSetSize - before.PeakWorkingSetSize));
    std::printf("peak_pagefile_growth: %.1f MiB\n",
                Mib(after.PeakPagefileUsage - before.PeakPagefileUsage));
    std::printf("peak_working_set: %.1f MiB\n", Mib(after.PeakWorkingSetSize));
    std::printf("peak_pagefile: %.1f MiB\n", Mib(after.PeakPagefileUsage));
    DeleteObject(result);

    // The settle sleep itself may overrun; its overrun is part of what a user waits.
    constexpr int kRounds = 5;
    double overrun = 0;
    for (int i = 0; i < kRounds; ++i) {
        const double t = NowMs();
        Sleep(kCaptureSettleMs);
        overrun += NowMs() - t - kCaptureSettleMs;
    }
    std::printf("settle_sleep_overrun: %.2f ms\n", overrun / kRounds);

    double firstPaint = 0;
    double paintTime = 0;
    for (int i = 0; i < kRounds; ++i) {
        RECT none{};
        WatchedSession(WM_CLOSE, none, start);
        firstPaint += watch.paintDone - start - kCaptureSettleMs;
        paintTime += watch.paintDone - watch.paintTaken;
    }
    std::printf("settle_end_to_first_paint: %.2f ms\n", firstPaint / kRounds);
    std::printf("first_paint_blit: %.2f ms\n", paintTime / kRounds);

    constexpr int kGrabRounds = 20;
    double grab = 0;
    HBITMAP frozen = nullptr;
    for (int i = 0; i < kGrabRounds; ++i) {
        DeleteObject(frozen);
        const double t = NowMs();
        frozen = GrabScreen(screen);
        grab += NowMs() - t;
    }
    std::printf("grab_screen: %.2f ms\n", grab / kGrabRounds);

    struct CropCase {
        const char* name;
        RECT region;
    };
    const CropCase crops[] = {
        {"crop_whole_screen", RECT{0, 0, width, height}},
        {"crop_800x600", RECT{100, 100, 900, 700}},
        {"crop_past_the_image", RECT{width - 400, height - 300, width + 400, height + 300}},
    };
    for (const CropCase& c : crops) {
        double total = 0;
        for (int i = 0; i < kGrabRounds; ++i) {
            const double t = NowMs();
            HBITMAP cut = CropBitmap(frozen, c.region);
            total += NowMs() - t;
            DeleteObject(cut);
        }
        std::printf("%s: %.2f ms\n", c.name, total / kGrabRounds);
    }
    DeleteObject(frozen);
    return 0;
}
