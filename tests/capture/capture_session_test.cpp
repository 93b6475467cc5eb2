#include "capture/capture_session.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <tuple>
#include <vector>

#include "capture/capture_region.h"
#include "support/screen_pattern.h"
#include "support/bitmap_pixels.h"
#include "support/input.h"
#include "win/scoped_win.h"

namespace {

// Time for the session's thread to take in what SendInput has queued.
constexpr DWORD kSettleMs = 60;

RECT VirtualScreen() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// Screen coordinates to those of the frozen image.
RECT ToRegion(RECT r) {
    const RECT screen = VirtualScreen();
    OffsetRect(&r, -screen.left, -screen.top);
    return r;
}

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

// Presses the left button at the first point and moves through the others; then presses the
// key (VK_RBUTTON: a right click) and releases the left button, which without a drag is
// ignored.
void Play(const std::vector<POINT>& drag, WORD key) {
    for (size_t i = 0; i < drag.size(); ++i) {
        MoveMouseTo(drag[i].x, drag[i].y);
        Sleep(kSettleMs);
        if (i == 0) {
            MouseButton(true, true);
            Sleep(kSettleMs);
        }
    }
    if (key == VK_RBUTTON) {
        MouseButton(false, true);
        MouseButton(false, false);
    } else if (key) {
        PressKey(key);
    }
    MouseButton(true, false);
}

struct SessionResult {
    ScopedBitmap bitmap;
    bool cancelled = false;
    RECT region{};
    bool mutexDuringSession = false;
    DWORD msUntilOverlay = 0;
};

// Runs a session on this thread while another thread plays the input once the overlay is up.
// Should the input leave the session running, the overlay is closed so that the test ends.
SessionResult RunSession(uint32_t delayMs, bool includeCursor, RECT region,
                         const std::vector<POINT>& drag, WORD key = 0) {
    PumpMessagesFor(100);  // windows the last overlay uncovered repaint first
    SessionResult out;
    out.region = region;
    const DWORD start = GetTickCount();
    std::atomic<bool> finished{false};
    std::thread driver([&] {
        const HWND overlay = WaitForOverlay(finished);
        out.msUntilOverlay = GetTickCount() - start;
        out.mutexDuringSession = IsMutexPresent();
        // The overlay first takes in the pointer entering it, with the position it had then;
        // input played before that would be moved back there.
        Sleep(kSettleMs);
        Play(drag, key);
        for (int i = 0; i < 200 && !finished; ++i) {
            Sleep(10);
        }
        if (!finished) {
            PostMessageW(overlay, WM_CLOSE, 0, 0);
        }
    });
    out.bitmap.Reset(RunCaptureSession(delayMs, includeCursor, out.region, &out.cancelled));
    finished = true;
    driver.join();
    return out;
}

// The session wrote the chosen screen rectangle back as its region and cut exactly its pixels.
void ExpectCut(const SessionResult& result, const RECT& chosen) {
    const RECT region = ToRegion(chosen);
    EXPECT_TRUE(EqualRect(&result.region, &region))
        << result.region.left << ',' << result.region.top;
    EXPECT_EQ(BitmapSize(result.bitmap.Get()).cx, chosen.right - chosen.left);
    EXPECT_EQ(BitmapPixels(result.bitmap.Get()), ExpectedPattern(chosen));
}

class CaptureSessionTest : public testing::Test {
protected:
    // On the primary monitor, away from its edges.
    CPatternWindow pattern{RECT{200, 150, 600, 450}};
};

// A drag cuts the inclusive rectangle of the frozen screen. Escape during a drag cancels; a
// click gives nothing without cancelling; a right press aborts the drag and cancels. Same-region
// mode and Escape before a drag are driven end to end.
TEST_F(CaptureSessionTest, EachWayOfEndingGivesItsResult) {
    const std::tuple<RECT, std::vector<POINT>, WORD, RECT, bool> cases[] = {
        {{}, {{420, 330}, {300, 230}, {250, 200}}, 0, {250, 200, 421, 331}, false},
        {{}, {{300, 300}, {301, 300}}, 0, {300, 300, 302, 301}, false},
        {{}, {{300, 300}, {350, 340}}, VK_ESCAPE, {}, true},
        {{}, {{300, 300}}, 0, {}, false},
        {{}, {{300, 300}, {350, 340}}, VK_RBUTTON, {}, true},
    };
    for (const auto& [given, drag, key, chosen, cancelled] : cases) {
        SCOPED_TRACE(testing::Message() << drag.size() << " points, key " << key);
        const SessionResult result = RunSession(0, false, given, drag, key);
        EXPECT_EQ(result.cancelled, cancelled);
        if (IsRectEmpty(&chosen)) {
            EXPECT_EQ(result.bitmap.Get(), nullptr);
            EXPECT_TRUE(IsRectEmpty(&result.region));
        } else {
            ExpectCut(result, chosen);
        }
    }
}

// A delayed capture with the pointer: the pattern turns white 250 ms before the grab is due (a
// frozen image still showing the pattern was taken too early), and the arrow is drawn where the
// overlay first sees the mouse, its hot spot on that pixel. The marker exists from the delay to
// the end of the session.
TEST_F(CaptureSessionTest, DelayedCaptureWaitsForDelayAndSettleTimeAndDrawsThePointer) {
    constexpr uint32_t kDelayMs = 500;
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(arrow, &info));
    ScopedBitmap color(info.hbmColor), mask(info.hbmMask);
    ScopedBitmap expected(MakeSolidBitmap(100, 80, RGB(255, 255, 255)));
    {
        ScopedMemDC memory(nullptr);
        ScopedSelect selected(memory.Get(), expected.Get());
        DrawIconEx(memory.Get(), -static_cast<int>(info.xHotspot), -static_cast<int>(info.yHotspot),
                   arrow, 0, 0, 0, nullptr, DI_NORMAL);
    }
    ASSERT_NE(BitmapPixels(expected.Get()), std::vector<uint32_t>(8000, 0xFFFFFF));
    // Drawn, and in same-region mode, where only the region is grabbed.
    const std::pair<RECT, std::vector<POINT>> ways[] = {
        {RECT{}, {{300, 250}, {399, 329}}},
        {ToRegion(RECT{300, 250, 400, 330}), {}},
    };
    for (const auto& [given, drag] : ways) {
        ASSERT_FALSE(IsMutexPresent());
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
        const SessionResult result = RunSession(kDelayMs, true, given, drag);
        painter.join();
        EXPECT_TRUE(duringDelay);
        EXPECT_FALSE(IsMutexPresent());
        // A same-region overlay is gone before anyone outside can see it.
        if (!drag.empty()) {
            EXPECT_TRUE(result.mutexDuringSession);
            EXPECT_GE(result.msUntilOverlay, kDelayMs + kCaptureSettleMs);
        }
        ASSERT_NE(result.bitmap.Get(), nullptr);
        EXPECT_EQ(BitmapPixels(result.bitmap.Get()), BitmapPixels(expected.Get()));
    }
}

// A region stored on another monitor layout reaches past the frozen image: what lies outside
// it is black.
TEST(CropBitmapTest, CopiesInsideAndFillsBlackOutside) {
    ScopedBitmap source(MakeSolidBitmap(64, 48, RGB(0x12, 0x34, 0x56)));
    const RECT regions[] = {{5, 6, 25, 16}, {-2, -2, 66, 50}, {100, 100, 110, 104}};
    for (const RECT& r : regions) {
        ScopedBitmap cut(CropBitmap(source.Get(), r));
        std::vector<uint32_t> expected;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                expected.push_back(x >= 0 && x < 64 && y >= 0 && y < 48 ? 0x123456 : 0);
            }
        }
        ASSERT_NE(cut.Get(), nullptr);
        EXPECT_EQ(BitmapPixels(cut.Get()), expected) << r.left << ',' << r.top;
    }
    EXPECT_EQ(CropBitmap(source.Get(), RECT{20, 20, 10, 10}), nullptr);
}

// Same-region mode grabs the region alone; one stored on a larger layout reaches past the
// screen's corner, and what lies beyond it is black.
TEST(GrabRegionTest, KeepsWhatIsOnTheScreenAndFillsBlackBeyond) {
    const RECT screen = VirtualScreen();
    const RECT corner{screen.right - 40, screen.bottom - 30, screen.right, screen.bottom};
    CPatternWindow pattern(corner);
    PumpMessagesFor(100);
    const std::vector<uint32_t> inside = ExpectedPattern(corner);
    const ScopedBitmap grabbed(GrabRegion(
        screen, ToRegion(RECT{corner.left, corner.top, corner.right + 20, corner.bottom + 10})));
    std::vector<uint32_t> expected;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 60; ++x) {
            expected.push_back(x < 40 && y < 30 ? inside[y * 40 + x] : 0);
        }
    }
    ASSERT_NE(grabbed.Get(), nullptr);
    EXPECT_EQ(BitmapPixels(grabbed.Get()), expected);
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
    const RECT chosen{-250, 150, 250, 350};
    const SessionResult drawn = RunSession(0, false, RECT{}, {{-250, 150}, {0, 200}, {249, 349}});
    EXPECT_EQ(drawn.region.left, -250 - screen.left);
    ExpectCut(drawn, chosen);
    ExpectCut(RunSession(0, false, drawn.region, {{-100, 500}}), chosen);
}

// A hook that refuses every window creation stands for an overlay that cannot be made.
TEST(CaptureSessionFailureTest, OverlayThatCannotBeCreatedCancels) {
    HHOOK hook = SetWindowsHookExW(
        WH_CBT,
        [](int code, WPARAM wParam, LPARAM lParam) {
            return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    RECT region{};
    bool cancelled = false;
    EXPECT_EQ(RunCaptureSession(0, true, region, &cancelled), nullptr);
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(IsMutexPresent());
}

}  // namespace
