#include "capture/capture_session.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "app/settings.h"
#include "capture/capture_region.h"
#include "capture/screen_pattern.h"
#include "support/input.h"

namespace {

RECT VirtualScreen() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// Screen coordinates to the region coordinates of the frozen image.
RECT ToRegion(const RECT& screenRect) {
    const RECT screen = VirtualScreen();
    return RECT{screenRect.left - screen.left, screenRect.top - screen.top,
                screenRect.right - screen.left, screenRect.bottom - screen.top};
}

bool IsMutexPresent() {
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, kCaptureMutexName);
    if (!mutex) {
        return false;
    }
    CloseHandle(mutex);
    return true;
}

struct OverlaySearch {
    RECT screen;
    HWND found;
};

BOOL CALLBACK FindOverlayWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<OverlaySearch*>(context);
    RECT rect{};
    GetWindowRect(window, &rect);
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (IsWindowVisible(window) && EqualRect(&rect, &search->screen) &&
        (exStyle & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW)) == (WS_EX_TOPMOST | WS_EX_TOOLWINDOW)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The overlay of a session running on the given thread, once it is shown.
HWND WaitForOverlay(DWORD threadId) {
    for (int i = 0; i < 2000; ++i) {
        OverlaySearch search{VirtualScreen(), nullptr};
        EnumThreadWindows(threadId, &FindOverlayWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            return search.found;
        }
        Sleep(5);
    }
    return nullptr;
}

// Lets the session's thread take in what SendInput has queued.
void Settle() {
    Sleep(60);
}

// Presses the left button at from and moves through the points, without releasing.
void StartDrag(POINT from, const std::vector<POINT>& through) {
    PointerTo(from);
    Settle();
    MouseButton(true, true);
    Settle();
    for (const POINT& p : through) {
        PointerTo(p);
        Settle();
    }
}

void Drag(POINT from, const std::vector<POINT>& through) {
    StartDrag(from, through);
    MouseButton(true, false);
    Settle();
}

struct SessionResult {
    HBITMAP bitmap = nullptr;
    bool cancelled = false;
    RECT region{};
    bool overlaySeen = false;
    bool mutexDuringSession = false;
    DWORD msUntilOverlay = 0;

    ~SessionResult() {
        if (bitmap) {
            DeleteObject(bitmap);
        }
    }
};

// Runs a session on this thread while `input` drives it from another thread once the overlay
// is up. Should the script leave the session running, the overlay is closed so the test ends.
void RunSession(uint32_t delayMs, bool includeCursor, RECT region,
                const std::function<void(HWND overlay)>& input, SessionResult& out) {
    const DWORD threadId = GetCurrentThreadId();
    std::atomic<bool> finished{false};
    const DWORD start = GetTickCount();
    std::thread driver([&] {
        const HWND overlay = WaitForOverlay(threadId);
        out.msUntilOverlay = GetTickCount() - start;
        out.overlaySeen = overlay != nullptr;
        out.mutexDuringSession = IsMutexPresent();
        if (!overlay) {
            return;
        }
        input(overlay);
        for (int i = 0; i < 200 && !finished; ++i) {
            Sleep(10);
        }
        if (!finished) {
            PostMessageW(overlay, WM_CLOSE, 0, 0);
        }
    });
    out.region = region;
    out.bitmap = RunCaptureSession(delayMs, includeCursor, out.region, &out.cancelled);
    finished = true;
    driver.join();
}

void ExpectPixelsEqual(const Pixels& actual, const Pixels& expected) {
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    int mismatches = 0;
    for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
            if (actual.At(x, y) != expected.At(x, y) && ++mismatches <= 5) {
                ADD_FAILURE() << "pixel " << x << ',' << y << ": " << std::hex << actual.At(x, y)
                              << " instead of " << expected.At(x, y);
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// The session wrote the chosen screen rectangle back as its region and cut exactly its pixels.
void ExpectCut(const SessionResult& result, const RECT& chosen) {
    const RECT expectedRegion = ToRegion(chosen);
    EXPECT_TRUE(EqualRect(&result.region, &expectedRegion))
        << result.region.left << ',' << result.region.top << ',' << result.region.right << ','
        << result.region.bottom;
    ASSERT_NE(result.bitmap, nullptr);
    ExpectPixelsEqual(ReadBitmapPixels(result.bitmap), ExpectedPattern(chosen));
}

class CaptureSessionTest : public testing::Test {
protected:
    void SetUp() override {
        const RECT screen = VirtualScreen();
        // On the primary monitor, away from its edges.
        patternRect = RECT{200, 150, 600, 450};
        ASSERT_LE(screen.left, patternRect.left);
        ASSERT_TRUE(pattern.Open(patternRect));
    }

    RECT patternRect{};
    CPatternWindow pattern;
};

TEST_F(CaptureSessionTest, DragCutsTheInclusiveRectangleOfTheFrozenScreen) {
    struct Case {
        const char* what;
        POINT from;
        std::vector<POINT> through;
        RECT chosen;
    };
    const Case cases[] = {
        {"down and right", {250, 200}, {{300, 230}, {420, 330}}, {250, 200, 421, 331}},
        {"up and left", {420, 330}, {{250, 200}}, {250, 200, 421, 331}},
        {"one pixel right", {300, 300}, {{301, 300}}, {300, 300, 302, 301}},
        {"only sideways", {260, 250}, {{300, 250}}, {260, 250, 301, 251}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SessionResult result;
        RunSession(
            0, false, RECT{}, [&](HWND) { Drag(c.from, c.through); }, result);
        ASSERT_TRUE(result.overlaySeen);
        EXPECT_FALSE(result.cancelled);
        ExpectCut(result, c.chosen);
    }
}

TEST_F(CaptureSessionTest, CancelAndEmptyOutcomes) {
    struct Case {
        const char* what;
        std::function<void(HWND)> input;
        bool cancelled;
    };
    const Case cases[] = {
        {"Escape before any click",
         [](HWND) {
             PointerTo(POINT{300, 300});
             Settle();
             PressKey(VK_ESCAPE);
         },
         true},
        {"a click without a drag",
         [](HWND) {
             Drag(POINT{300, 300}, {});
         },
         false},
        {"Escape during a drag",
         [](HWND) {
             StartDrag(POINT{300, 300}, {POINT{350, 340}});
             PressKey(VK_ESCAPE);
             Settle();
             MouseButton(true, false);
         },
         true},
        {"a right press during a drag",
         [](HWND) {
             StartDrag(POINT{300, 300}, {POINT{350, 340}});
             MouseButton(false, true);
             Settle();
             MouseButton(false, false);
             MouseButton(true, false);
         },
         true},
        {"a drag back to its start",
         [](HWND) {
             Drag(POINT{300, 300}, {{340, 330}, {300, 300}});
         },
         false},
        {"a close from the system",
         [](HWND overlay) { PostMessageW(overlay, WM_SYSCOMMAND, SC_CLOSE, 0); }, true},
    };
    for (const Case& c : cases) {
        SessionResult result;
        RunSession(0, false, RECT{}, c.input, result);
        EXPECT_TRUE(result.overlaySeen) << c.what;
        EXPECT_EQ(result.cancelled, c.cancelled) << c.what;
        EXPECT_EQ(result.bitmap, nullptr) << c.what;
        EXPECT_TRUE(IsRectEmpty(&result.region)) << c.what;
    }
}

TEST_F(CaptureSessionTest, KeysOtherThanEscapeAndRightClicksChangeNothing) {
    SessionResult result;
    RunSession(
        0, false, RECT{},
        [](HWND) {
            PointerTo(POINT{300, 300});
            Settle();
            PressKey(VK_RETURN);
            PressKey(VK_LEFT);
            PressKey('A');
            MouseButton(false, true);
            MouseButton(false, false);
            Settle();
            Drag(POINT{260, 210}, {POINT{269, 219}});
        },
        result);
    EXPECT_FALSE(result.cancelled);
    ExpectCut(result, RECT{260, 210, 270, 220});
}

TEST_F(CaptureSessionTest, SameRegionIsCutAtTheFirstMouseMessageWithoutADrag) {
    const RECT chosen{260, 210, 360, 290};
    SessionResult result;
    RunSession(
        0, false, ToRegion(chosen),
        [](HWND) {
            PointerTo(POINT{500, 400});
            Settle();
            PointerTo(POINT{501, 401});
        },
        result);
    EXPECT_FALSE(result.cancelled);
    ExpectCut(result, chosen);
}

// A window that appears under the pointer is sent a mouse move at once, which ends same-region
// mode; to come first, the Escape is queued as the overlay is created. Posted messages are taken
// before input, so the overlay sees the key before any mouse message.
LRESULT CALLBACK EscapeOnCreate(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        PostMessageW(reinterpret_cast<HWND>(wParam), WM_KEYDOWN, VK_ESCAPE, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(CaptureSessionTest, EscapeBeforeTheMouseIsSeenCancelsSameRegion) {
    HHOOK hook = SetWindowsHookExW(WH_CBT, &EscapeOnCreate, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    SessionResult result;
    const RECT given = ToRegion(RECT{260, 210, 360, 290});
    RunSession(
        0, false, given, [](HWND) {}, result);
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.bitmap, nullptr);
    EXPECT_TRUE(EqualRect(&result.region, &given));
}

TEST_F(CaptureSessionTest, MarkerExistsForTheWholeSessionOnly) {
    ASSERT_FALSE(IsMutexPresent());
    std::atomic<bool> duringDelay{false};
    std::thread watcher([&] {
        Sleep(150);
        duringDelay = IsMutexPresent();
    });
    SessionResult result;
    RunSession(
        300, false, RECT{}, [](HWND) { PressKey(VK_ESCAPE); }, result);
    watcher.join();
    EXPECT_TRUE(duringDelay);
    EXPECT_TRUE(result.mutexDuringSession);
    EXPECT_FALSE(IsMutexPresent());
}

// The pattern turns green 250 ms before the grab is due: a frozen image still showing the
// pattern was taken too early. The overlay, which follows the grab, is up no earlier than the
// delay plus the 400 ms settle time.
TEST_F(CaptureSessionTest, ScreenIsGrabbedOnlyAfterDelayAndSettleTime) {
    constexpr uint32_t kDelayMs = 500;
    constexpr uint32_t kGreen = 0x0000FF00;
    std::thread painter([&] {
        Sleep(kDelayMs + kCaptureSettleMs - 250);
        pattern.Fill(kGreen);
    });
    SessionResult result;
    RunSession(
        kDelayMs, false, RECT{},
        [](HWND) {
            Drag(POINT{300, 300}, {POINT{309, 309}});
        },
        result);
    painter.join();
    EXPECT_GE(result.msUntilOverlay, kDelayMs + kCaptureSettleMs);
    ASSERT_NE(result.bitmap, nullptr);
    const Pixels pixels = ReadBitmapPixels(result.bitmap);
    ASSERT_EQ(pixels.width, 10);
    EXPECT_EQ(pixels.At(0, 0), kGreen);
    EXPECT_EQ(pixels.At(9, 9), kGreen);
}

// The arrow of the pattern window is drawn where the overlay first sees the mouse, its hot spot
// on that pixel, and is cut out with the region.
TEST_F(CaptureSessionTest, DelayedCaptureWithPointerDrawsItAtItsHotSpot) {
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(arrow, &info));
    BITMAP image{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(image), &image);
    const int arrowWidth = image.bmWidth;
    const int arrowHeight = info.hbmColor ? image.bmHeight : image.bmHeight / 2;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    // At the default pointer size and 96 DPI the arrow is drawn at its own size.
    ASSERT_EQ(arrowWidth, GetSystemMetrics(SM_CXCURSOR));

    const POINT press{300, 250};
    const RECT chosen{300, 250, 400, 330};
    PointerTo(press);
    pattern.Activate();
    PumpMessagesFor(200);

    SessionResult result;
    RunSession(
        200, true, RECT{},
        [&](HWND) {
            MouseButton(true, true);
            Settle();
            PointerTo(POINT{chosen.right - 1, chosen.bottom - 1});
            Settle();
            MouseButton(true, false);
        },
        result);
    ASSERT_NE(result.bitmap, nullptr);

    const Pixels plain = ExpectedPattern(chosen);
    HBITMAP expectedBitmap = MakeBitmap(plain);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, expectedBitmap);
    DrawIconEx(memory, press.x - chosen.left - static_cast<int>(info.xHotspot),
               press.y - chosen.top - static_cast<int>(info.yHotspot), arrow, arrowWidth,
               arrowHeight, 0, nullptr, DI_NORMAL);
    SelectObject(memory, previous);
    DeleteDC(memory);
    const Pixels expected = ReadBitmapPixels(expectedBitmap);
    DeleteObject(expectedBitmap);

    ASSERT_NE(expected.values, plain.values) << "the arrow must change the pattern";
    ExpectPixelsEqual(ReadBitmapPixels(result.bitmap), expected);
}

// Run by two_monitors.sh with a second monitor left of the primary: the overlay covers both,
// and a rectangle drawn across the boundary is cut from the right place of the frozen image.
TEST(TwoMonitorsTest, DragAcrossAMonitorLeftOfThePrimary) {
    const RECT screen = VirtualScreen();
    if (screen.left >= 0) {
        GTEST_SKIP() << "no monitor left of the primary";
    }
    CPatternWindow pattern;
    ASSERT_TRUE(pattern.Open(RECT{-300, 100, 300, 400}));
    SessionResult drawn;
    RunSession(
        0, false, RECT{},
        [](HWND) {
            Drag(POINT{-250, 150}, {POINT{0, 200}, POINT{249, 349}});
        },
        drawn);
    ASSERT_TRUE(drawn.overlaySeen);
    const RECT chosen{-250, 150, 250, 350};
    EXPECT_EQ(drawn.region.left, -250 - screen.left);
    ExpectCut(drawn, chosen);

    // The stored region cuts the same pixels again, without a drag.
    SessionResult again;
    RunSession(
        0, false, drawn.region,
        [](HWND) {
            PointerTo(POINT{-100, 500});
        },
        again);
    ExpectCut(again, chosen);
}

// A hook that refuses every window creation stands for an overlay that cannot be made.
LRESULT CALLBACK RefuseWindows(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(CaptureSessionFailureTest, OverlayThatCannotBeCreatedCancels) {
    HHOOK hook = SetWindowsHookExW(WH_CBT, &RefuseWindows, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    RECT region{};
    bool cancelled = false;
    HBITMAP bitmap = RunCaptureSession(0, true, region, &cancelled);
    RECT again{10, 10, 20, 20};
    HBITMAP sameRegion = RunCaptureSession(0, false, again, nullptr);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(sameRegion, nullptr);
    EXPECT_FALSE(IsMutexPresent());
}

// A quit request during the session cancels it and still reaches the loops outside.
TEST(CaptureSessionFailureTest, QuitDuringTheSessionCancelsAndIsPassedOn) {
    HWND overlay = nullptr;
    const DWORD threadId = GetCurrentThreadId();
    std::thread driver([&] {
        overlay = WaitForOverlay(threadId);
        PostThreadMessageW(threadId, WM_QUIT, 7, 0);
    });
    RECT region{};
    bool cancelled = false;
    HBITMAP bitmap = RunCaptureSession(0, false, region, &cancelled);
    driver.join();
    EXPECT_NE(overlay, nullptr);
    EXPECT_EQ(bitmap, nullptr);
    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(IsWindow(overlay));
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST(CropBitmapTest, CopiesInsideAndFillsBlackOutside) {
    Pixels source = ExpectedPattern(RECT{0, 0, 64, 48});
    HBITMAP bitmap = MakeBitmap(source);
    const RECT regions[] = {{5, 6, 25, 16},   {0, 0, 64, 48},   {50, 40, 80, 60},
                            {-10, -5, 10, 5}, {-2, -2, 66, 50}, {100, 100, 110, 104}};
    for (const RECT& r : regions) {
        HBITMAP cut = CropBitmap(bitmap, r);
        ASSERT_NE(cut, nullptr);
        const Pixels pixels = ReadBitmapPixels(cut);
        DeleteObject(cut);
        ASSERT_EQ(pixels.width, r.right - r.left);
        ASSERT_EQ(pixels.height, r.bottom - r.top);
        int wrong = 0;
        for (int y = 0; y < pixels.height; ++y) {
            for (int x = 0; x < pixels.width; ++x) {
                const int sx = r.left + x;
                const int sy = r.top + y;
                const bool inside = sx >= 0 && sx < 64 && sy >= 0 && sy < 48;
                wrong += pixels.At(x, y) != (inside ? PatternColor(sx, sy) : 0u);
            }
        }
        EXPECT_EQ(wrong, 0) << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom;
    }
    const RECT refused[] = {
        {10, 10, 10, 20}, {20, 20, 10, 10}, {INT32_MIN, 0, INT32_MAX, 1}, {0, 0, 100000, 100000}};
    for (const RECT& r : refused) {
        EXPECT_EQ(CropBitmap(bitmap, r), nullptr);
    }
    DeleteObject(bitmap);
}

// GetGuiResources answers 0 under Wine; a leak shows instead as a failure once the process has
// used up its GDI handles.
TEST(CropBitmapTest, RepeatingMoreOftenThanTheHandleLimitKeepsSucceeding) {
    HBITMAP source = MakeBitmap(ExpectedPattern(RECT{0, 0, 32, 32}));
    int failures = 0;
    for (int i = 0; i < kMoreThanTheHandleLimit; ++i) {
        HBITMAP cut = CropBitmap(source, RECT{i % 16, 4, i % 16 + 8, 12});
        failures += cut == nullptr;
        DeleteObject(cut);
    }
    DeleteObject(source);
    EXPECT_EQ(failures, 0);
}

TEST(GrabScreenTest, HoldsTheScreenPixelsOfTheRectangle) {
    CPatternWindow pattern;
    const RECT patternRect{100, 120, 300, 260};
    ASSERT_TRUE(pattern.Open(patternRect));
    const RECT grabbed{110, 130, 290, 250};
    HBITMAP bitmap = GrabScreen(grabbed);
    ASSERT_NE(bitmap, nullptr);
    ExpectPixelsEqual(ReadBitmapPixels(bitmap), ExpectedPattern(grabbed));
    DeleteObject(bitmap);
}

TEST(CaptureRegionSettingTest, LoadsTheStoredText) {
    struct Case {
        const char* stored;
        Rect expected;
    };
    // The parsing rules themselves are tested with ParseCaptureRegion; these show that the
    // stored value is what gets parsed.
    const Case cases[] = {
        {"10,20,310,220", {10, 20, 310, 220}},
        {"10, 20,310,220", {10, 0, 310, 220}},
        {"10,20,310", {0, 0, 0, 0}},
        {"", {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SetSettingString("Settings", "CaptureRegion", Tessel::String(c.stored));
        EXPECT_EQ(LoadCaptureRegion(), c.expected) << '"' << c.stored << '"';
    }
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Tarrowby Software\\Glimpser\\Settings",
                            0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    RegDeleteValueW(key, L"CaptureRegion");
    EXPECT_EQ(LoadCaptureRegion(), Rect{});
    const DWORD number = 10;
    RegSetValueExW(key, L"CaptureRegion", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof(number));
    EXPECT_EQ(LoadCaptureRegion(), Rect{});
    RegDeleteValueW(key, L"CaptureRegion");
    RegCloseKey(key);
}

TEST(CaptureRegionSettingTest, SavedRegionIsStoredAsTextAndReadsBack) {
    const Rect region{-1920, 20, 310, 1080};
    SaveCaptureRegion(region);
    EXPECT_STREQ(GetSettingString("Settings", "CaptureRegion", Tessel::String()).CStr(),
                 "-1920,20,310,1080");
    EXPECT_EQ(LoadCaptureRegion(), region);
}

}  // namespace
