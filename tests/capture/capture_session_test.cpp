#include "capture/capture_session.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <tuple>
#include <vector>

#include "capture/capture_region.h"
#include "support/bitmap_pixels.h"
#include "support/input.h"
#include "support/screen_pattern.h"
#include "win/scoped_win.h"

namespace {

// Time for the session's thread to take in what SendInput has queued.
constexpr DWORD kSettleMs = 60;

bool IsMutexPresent() {
    return ScopedHandle(OpenMutexW(SYNCHRONIZE, FALSE, kCaptureMutexName)).Get() != nullptr;
}

// The overlay, once it covers the virtual screen; none if the session ends before it is seen.
HWND WaitForOverlay(const std::atomic<bool>& sessionOver) {
    const RECT screen = VirtualScreen();
    for (int i = 0; i < 2000 && !sessionOver; ++i, Sleep(5)) {
        const HWND window = WindowFromPoint(POINT{screen.left, screen.top});
        RECT rect{};
        if (window != GetDesktopWindow() && GetWindowRect(window, &rect) &&
            EqualRect(&rect, &screen)) {
            return window;
        }
    }
    return nullptr;
}

struct SessionResult {
    ScopedBitmap bitmap;
    bool cancelled = false;
    RECT region{};
    DWORD msUntilOverlay = 0;
};

// Runs a session on this thread while another thread, once the overlay is up, presses the left
// button at the first point, moves through the others, presses the key if any and releases the
// button. Should the input leave the session running, the overlay is closed so that the test
// ends.
SessionResult RunSession(uint32_t delayMs, bool includeCursor, RECT region,
                         const std::vector<POINT>& drag, WORD key = 0) {
    PumpMessagesFor(100);  // windows the last overlay uncovered repaint first
    // The overlay takes in the pointer entering it with the position the pointer had then, which
    // on a loaded machine can come after the first moves below: start the pointer where the
    // drag starts, so that a late entry puts it there too.
    if (!drag.empty()) {
        MoveMouseTo(drag[0].x, drag[0].y);
    }
    SessionResult out;
    out.region = region;
    const DWORD start = GetTickCount();
    std::atomic<bool> finished{false};
    std::thread driver([&] {
        const HWND overlay = WaitForOverlay(finished);
        out.msUntilOverlay = GetTickCount() - start;
        // The overlay first takes in the pointer entering it, with the position it had then;
        // input played before that would be moved back there.
        Sleep(kSettleMs);
        for (size_t i = 0; i < drag.size(); ++i) {
            MoveMouseTo(drag[i].x, drag[i].y);
            Sleep(kSettleMs);
            if (i == 0) {
                MouseButton(true, true);
                Sleep(kSettleMs);
            }
        }
        if (key) {
            PressKey(key);
        }
        MouseButton(true, false);
        if (!WaitFor([&] { return finished.load(); }, 2000)) {
            PostMessageW(overlay, WM_CLOSE, 0, 0);
        }
    });
    out.bitmap.Reset(RunCaptureSession(delayMs, includeCursor, out.region, &out.cancelled));
    finished = true;
    driver.join();
    return out;
}

class CaptureSessionTest : public testing::Test {
protected:
    // On the primary monitor, away from its edges.
    CPatternWindow pattern{RECT{200, 150, 600, 450}};
};

// A hook that refuses every window creation stands for an overlay that cannot be made.
LRESULT CALLBACK RefuseWindows(int code, WPARAM wParam, LPARAM lParam) {
    return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

// Escape during a drag cancels, a click gives nothing without cancelling, and so does an overlay
// that cannot be made; none leaves the marker behind. Drags that cut, same-region mode and
// Escape before a drag are driven end to end.
TEST_F(CaptureSessionTest, EscapeAClickOrNoOverlayGivesNothing) {
    const std::tuple<WORD, std::vector<POINT>, bool> cases[] = {
        {VK_ESCAPE, {{300, 300}, {350, 340}}, false}, {0, {{300, 300}}, false}, {0, {}, true}};
    for (const auto& [key, drag, noOverlay] : cases) {
        SCOPED_TRACE(testing::Message() << key << (noOverlay ? " without an overlay" : ""));
        const HHOOK hook =
            noOverlay ? SetWindowsHookExW(WH_CBT, RefuseWindows, nullptr, GetCurrentThreadId())
                      : nullptr;
        const SessionResult result = RunSession(0, true, RECT{}, drag, key);
        if (hook)
            UnhookWindowsHookEx(hook);
        // The overlay shows only once the screen is grabbed. That the marker exists while it
        // shows, the tray's end-to-end test finds by launching nothing then.
        EXPECT_GE(result.msUntilOverlay, kCaptureSettleMs);
        EXPECT_EQ(result.cancelled, key == VK_ESCAPE || noOverlay);
        EXPECT_EQ(result.bitmap.Get(), nullptr);
        EXPECT_TRUE(IsRectEmpty(&result.region));
        EXPECT_FALSE(IsMutexPresent());
    }
}

// A delayed capture of the same region with the pointer, at a preferred pointer size of 48:
// the pattern turns white 250 ms before the grab is due (a frozen image still showing the
// pattern was taken too early), and the arrow is drawn where the overlay first sees the mouse,
// its hot spot on that pixel of the region, one and a half times the size of its 32-pixel image
// (96 DPI pointers are 32 wide). The marker exists during the delay and goes with the session;
// the shared arrow outlives it.
TEST_F(CaptureSessionTest, DelayedCaptureWaitsForDelayAndSettleTimeAndDrawsThePointer) {
    constexpr uint32_t kDelayMs = 500;
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(arrow, &info));
    ScopedBitmap color(info.hbmColor), mask(info.hbmMask);
    const SIZE image = BitmapSize(color.Get() ? color.Get() : mask.Get());
    ASSERT_EQ(image.cx, 32);
    ScopedBitmap expected(MakeSolidBitmap(100, 80, RGB(255, 255, 255)));
    {
        ScopedMemDC memory(nullptr);
        ScopedSelect selected(memory.Get(), expected.Get());
        DrawIconEx(memory.Get(), -MulDiv(static_cast<int>(info.xHotspot), 3, 2),
                   -MulDiv(static_cast<int>(info.yHotspot), 3, 2), arrow, 48,
                   MulDiv(color.Get() ? image.cy : image.cy / 2, 3, 2), 0, nullptr, DI_NORMAL);
    }
    ASSERT_NE(BitmapPixels(expected.Get()), std::vector<uint32_t>(8000, 0xFFFFFF));
    ASSERT_FALSE(IsMutexPresent());
    const DWORD preference = 48;
    const wchar_t* const key = L"Control Panel\\Cursors";
    RegSetKeyValueW(HKEY_CURRENT_USER, key, L"CursorBaseSize", REG_DWORD, &preference, 4);
    std::atomic<bool> duringDelay{false};
    std::thread painter([&] {
        Sleep(kDelayMs + kCaptureSettleMs - 250);
        duringDelay = IsMutexPresent();
        const RECT all{0, 0, 400, 300};
        FillRect(ScopedWindowDC(pattern.hwnd).Get(), &all,
                 static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        PumpMessagesFor(50);
    });
    MoveMouseTo(300, 250);
    const RECT screen = VirtualScreen();
    const RECT region{300 - screen.left, 250 - screen.top, 400 - screen.left, 330 - screen.top};
    const SessionResult result = RunSession(kDelayMs, true, region, {});
    painter.join();
    RegDeleteKeyValueW(HKEY_CURRENT_USER, key, L"CursorBaseSize");
    EXPECT_TRUE(duringDelay);
    EXPECT_FALSE(IsMutexPresent());
    ASSERT_NE(result.bitmap.Get(), nullptr);
    EXPECT_EQ(BitmapPixels(result.bitmap.Get()), BitmapPixels(expected.Get()));
    EXPECT_TRUE(DrawIconEx(ScopedMemDC(nullptr).Get(), 0, 0, arrow, 0, 0, 0, nullptr, DI_NORMAL));
}

// A drag from corner to corner gives the whole frozen screen.
TEST_F(CaptureSessionTest, DragOverTheWholeScreenGivesTheWholeScreen) {
    const RECT screen = VirtualScreen();
    const SessionResult result = RunSession(
        0, false, RECT{}, {{screen.left, screen.top}, {screen.right - 1, screen.bottom - 1}});
    const RECT whole{0, 0, screen.right - screen.left, screen.bottom - screen.top};
    EXPECT_TRUE(EqualRect(&result.region, &whole))
        << result.region.right << ',' << result.region.bottom;
    ASSERT_NE(result.bitmap.Get(), nullptr);
    const RECT shown{200 - screen.left, 150 - screen.top, 600 - screen.left, 450 - screen.top};
    const ScopedBitmap patternPart(CropBitmap(result.bitmap.Get(), shown));
    EXPECT_EQ(BitmapPixels(patternPart.Get()), ExpectedPattern(RECT{200, 150, 600, 450}));
}

// Run by two_monitors.sh with a second monitor left of the primary: the overlay covers both,
// and a rectangle drawn across the boundary is cut from the right place of the frozen image,
// then again from the region alone.
TEST(TwoMonitorsTest, DragAcrossAMonitorLeftOfThePrimary) {
    const RECT screen = VirtualScreen();
    if (screen.left >= 0) {
        GTEST_SKIP() << "no monitor left of the primary";
    }
    CPatternWindow pattern(RECT{-300, 100, 300, 400});
    const RECT chosen{-250 - screen.left, 150 - screen.top, 250 - screen.left, 350 - screen.top};
    RECT region{};
    for (const std::vector<POINT>& drag :
         {std::vector<POINT>{{-250, 150}, {0, 200}, {249, 349}}, std::vector<POINT>{{-100, 500}}}) {
        const SessionResult result = RunSession(0, false, region, drag);
        region = result.region;
        EXPECT_TRUE(EqualRect(&region, &chosen)) << region.left << ',' << region.top;
        ASSERT_NE(result.bitmap.Get(), nullptr);
        EXPECT_EQ(BitmapPixels(result.bitmap.Get()), ExpectedPattern(RECT{-250, 150, 250, 350}));
    }
}

}  // namespace
