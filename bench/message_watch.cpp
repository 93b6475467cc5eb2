// Loaded into glimpser.exe by the road and walk benchmarks' global message hook. It tells the
// benchmark when the overlay and the viewer finish their first paint (and the viewer every later
// one) and when the overlay takes its first mouse message: moments that no outside observer can
// see on a screen whose pixels do not change.
#include <windows.h>

namespace {

constexpr UINT kReport = WM_APP + 77;
constexpr const wchar_t* kWatcherClass = L"GlimpserRoadWatch";

// Each of the first three is told once; kViewerRepainted at the end of every viewer paint.
enum Event : WPARAM {
    kOverlayPainted = 1,
    kOverlayMouse = 2,
    kViewerPainted = 3,
    kViewerRepainted = 4
};

bool reported[5] = {};
HWND paintingWindow = nullptr;

bool IsOverlay(HWND window) {
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
}

void Report(Event event) {
    if (reported[event] && event != kViewerRepainted) {
        return;
    }
    reported[event] = true;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    PostMessageW(FindWindowW(kWatcherClass, nullptr), kReport, event,
                 static_cast<LPARAM>(now.QuadPart));
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    WatchMessage(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        if (paintingWindow) {
            // The message after a WM_PAINT is taken once its handler has returned.
            if (IsOverlay(paintingWindow)) {
                Report(kOverlayPainted);
            } else {
                Report(kViewerPainted);
                Report(kViewerRepainted);
            }
            paintingWindow = nullptr;
        }
        if (msg->message == WM_PAINT && msg->hwnd) {
            paintingWindow = msg->hwnd;
            // Something to take right after the paint, even when the queue is idle.
            PostMessageW(msg->hwnd, WM_NULL, 0, 0);
        } else if (msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST && msg->hwnd &&
                   IsOverlay(msg->hwnd)) {
            Report(kOverlayMouse);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A paint that a window does at once (UpdateWindow) is sent to it, never taken from the queue.
extern "C" __declspec(dllexport) LRESULT CALLBACK
    WatchSentMessage(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_PAINT && !IsOverlay(sent->hwnd)) {
        Report(kViewerPainted);
        Report(kViewerRepainted);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
