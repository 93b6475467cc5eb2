// Capturing again from the viewer: the window hides for the capture and comes back with the new
// image, or unchanged when the capture is cancelled.
#include <atomic>
#include <functional>
#include <thread>

#include "app/command_ids.h"
#include "app/settings.h"
#include "support/input.h"
#include "viewer/viewer_fixture.h"

namespace {

struct OverlaySearch {
    HWND viewer;
    HWND found;
};

BOOL CALLBACK FindOverlay(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<OverlaySearch*>(context);
    if (window != search->viewer && IsWindowVisible(window) &&
        (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Runs `start` (which captures on this thread) while another thread waits for the capture
// overlay, notes whether the viewer was hidden by then, and drives the overlay with `input`.
bool CaptureWhileDriving(HWND viewer, const std::function<void()>& start,
                         const std::function<void()>& input) {
    DWORD threadId = GetCurrentThreadId();
    std::atomic<bool> finished{false};
    bool viewerHidden = false;
    std::thread driver([&] {
        OverlaySearch search{viewer, nullptr};
        for (int i = 0; i < 4000 && !search.found && !finished; ++i) {
            Sleep(5);
            EnumThreadWindows(threadId, &FindOverlay, reinterpret_cast<LPARAM>(&search));
        }
        if (!search.found) {
            return;
        }
        viewerHidden = !IsWindowVisible(viewer);
        Sleep(100);
        input();
        for (int i = 0; i < 300 && !finished; ++i) {
            Sleep(10);
        }
        if (!finished) {
            PostMessageW(search.found, WM_CLOSE, 0, 0);
        }
    });
    start();
    finished = true;
    driver.join();
    return viewerHidden;
}

}  // namespace

TEST_F(ViewerTest, CaptureSameRegionAgainStoresTheNextHistoryFile) {
    OpenViewer(MakeBitmap(30, 20, [](int, int) { return 0x123456u; }));
    viewer->SetZoom(4);
    viewer->TakeCaptureRegion(Rect{100, 120, 260, 220});
    bool hidden = CaptureWhileDriving(
        Window(), [this] { Command(ID_CAPTURE_SAME); },
        [] {
            // The same-region overlay takes the stored region at the first move.
            MoveMouseTo(300, 300);
            Sleep(60);
            MoveMouseTo(310, 305);
        });
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_EQ(ShownImageSize().cx, 160);
    EXPECT_EQ(ShownImageSize().cy, 100);
    EXPECT_STREQ(viewer->CurrentPath().CStr(), HistoryPath(2).CStr());
    EXPECT_TRUE(FileExists(HistoryPath(2)));
    EXPECT_STREQ(GetSettingString("Settings", "CaptureRegion", Tessel::String()).CStr(),
                 "100,120,260,220");
    EXPECT_STREQ(Title().CStr(), "Glimpser (200%)");  // the zoom stays
}

TEST_F(ViewerTest, DoubleClickCaptureCancelledLeavesTheViewerAsItWas) {
    OpenViewer(MakeBitmap(30, 20, [](int, int) { return 0x123456u; }));
    viewer->TakeCaptureRegion(Rect{1, 2, 3, 4});
    HBITMAP shown = viewer->Image();
    bool hidden = CaptureWhileDriving(
        Window(), [this] { SendMessageW(Window(), WM_LBUTTONDBLCLK, MK_LBUTTON, 0); },
        [] {
            MoveMouseTo(300, 300);
            Sleep(60);
            PressKey(VK_ESCAPE);
        });
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_EQ(viewer->Image(), shown);
    EXPECT_STREQ(viewer->CurrentPath().CStr(), HistoryPath(1).CStr());
    EXPECT_FALSE(FileExists(HistoryPath(2)));
    EXPECT_EQ(viewer->CaptureRegion(), (Rect{1, 2, 3, 4}));
}
