// What one mouse move costs the drag feedback on a 3840x2160 window: the bytes copied to the
// window per Update for a small rectangle (the dirty union only, 4 bytes a pixel) against a
// whole-window copy, and the times of Begin, Update and End. Prints "name: value unit" lines.
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "bench/bench_clock.h"
#include "capture/drag_feedback.h"
#include "support/probe_window.h"

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;
constexpr int kMoves = 500;

int64_t Area(const Rect& r) {
    return static_cast<int64_t>(r.right - r.left) * (r.bottom - r.top);
}

}  // namespace

int main() {
    SetProcessDPIAware();
    CProbeWindow window;
    if (!window.CreatePopup(RECT{0, 0, kWidth, kHeight}, WS_POPUP | WS_VISIBLE)) {
        std::printf("window: not created\n");
        return 1;
    }
    UpdateWindow(window.hwnd);
    std::printf("screen: %dx%d pixels\n", GetSystemMetrics(SM_CXSCREEN),
                GetSystemMetrics(SM_CYSCREEN));
    std::printf("window: %dx%d pixels\n", kWidth, kHeight);
    std::printf("moves per scenario: %d (growing ends at %dx%d)\n", kMoves, 100 + kMoves - 1,
                80 + kMoves - 1);
    std::printf("whole-window copy: %lld bytes\n", static_cast<long long>(kWidth) * kHeight * 4);

    CDragFeedback feedback;
    const double beginStart = NowMs();
    feedback.Begin(window.hwnd);
    const double beginMs = NowMs() - beginStart;

    // A small rubber band wobbling by a pixel, then one growing from 100x80 by a pixel each way
    // per move, as a slow drag does.
    struct Scenario {
        const char* name;
        int growth;
    };
    for (const Scenario& scenario : {Scenario{"small 100x80", 0}, Scenario{"growing", 1}}) {
        int64_t copied = 0;
        const double movesStart = NowMs();
        for (int move = 0; move < kMoves; ++move) {
            const int size = scenario.growth * move + (move & 1);
            feedback.ClearItems();
            feedback.AddRect(Rect{1000, 800, 1100 + size, 880 + size});
            copied += Area(feedback.Update()) * 4;
        }
        const double updateMs = (NowMs() - movesStart) / kMoves;
        std::printf("%s: bytes copied per move: %lld bytes\n", scenario.name,
                    static_cast<long long>(copied / kMoves));
        std::printf("%s: Update: %.3f ms\n", scenario.name, updateMs);
    }

    const double endStart = NowMs();
    feedback.End();
    const double endMs = NowMs() - endStart;

    std::printf("Begin: %.2f ms\n", beginMs);
    std::printf("End: %.2f ms\n", endMs);
    return 0;
}
