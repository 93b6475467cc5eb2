#include "app/run_modes.h"

#include "app/run_mode_rules.h"
#include "capture/capture_session.h"
#include "capture/include_cursor.h"
#include "viewer/main_window.h"
#include "win/modal_loop.h"
#include "win/scoped_win.h"
#include "win/settings.h"
#include "win/win_rect.h"

void RunCaptureThenView(bool sameRegion, int32_t delayMs, bool captureGiven) {
    RECT region = sameRegion ? ToRECT(LoadCaptureRegion()) : RECT{0, 0, 0, 0};
    const bool includeCursor =
        CaptureIncludesCursor(delayMs, GetSettingInt("Settings", "IncludeCursor", 1));
    bool cancelled = false;
    ScopedBitmap bitmap(RunCaptureSession(static_cast<uint32_t>(delayMs < 0 ? 0 : delayMs),
                                          includeCursor, region, &cancelled));
    if (!ViewerFollowsCapture(cancelled, captureGiven)) {
        return;
    }
    RunViewer(bitmap.Release(), region);
}

void RunViewer(HBITMAP bitmap, const RECT& region) {
    CMainWindow viewer;
    viewer.SetImage(bitmap);
    if (bitmap != nullptr) {
        viewer.TakeCaptureRegion(ToRect(region));
    } else {
        // The first window of a process is slow to make; the image is read meanwhile.
        viewer.ReadNewestAhead();
    }
    // The viewer sizes and places itself once it knows its image.
    const RECT noPlacement{0, 0, 0, 0};
    const HWND window = viewer.Create(nullptr, noPlacement, L"Glimpser (100%)",
                                      WS_OVERLAPPEDWINDOW | WS_VISIBLE, WS_EX_TOPMOST);
    RunModalLoop(nullptr, window);
    if (window != nullptr) {
        DestroyWindow(window);
    }
}
