#include "capture/capture_session.h"

#include "capture/capture_overlay.h"
#include "capture/capture_region.h"
#include "capture/captured_cursor.h"
#include "win/modal_loop.h"
#include "win/scoped_win.h"
#include "win/settings.h"
#include "win/win_rect.h"

namespace {

constexpr const char* kSettingsSection = "Settings";
constexpr const char* kCaptureRegionName = "CaptureRegion";
constexpr int kAccepted = 1;

RECT GetVirtualScreenRect() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

Size GetBitmapSize(HBITMAP bitmap) {
    BITMAP measured{};
    if (!bitmap || GetObjectW(bitmap, sizeof(measured), &measured) == 0) {
        return Size{};
    }
    return Size{measured.bmWidth, measured.bmHeight};
}

// Milliseconds on a clock that is exact to the millisecond, unlike the tick count's 16 ms steps.
uint64_t NowMs() {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER counter{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<uint64_t>(counter.QuadPart) * 1000 /
           static_cast<uint64_t>(frequency.QuadPart);
}

// The overlay's first mouse message places the pointer and, in same-region mode, ends it. A
// window that appears under the pointer is owed a mouse move at once, but not every system sends
// it before the pointer moves or the window has painted; posting the pointer's position makes
// that first message prompt, and it is taken before any paint.
void PostPointerPosition(HWND window) {
    POINT pointer{};
    if (GetCursorPos(&pointer) && ScreenToClient(window, &pointer)) {
        PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(pointer.x, pointer.y));
    }
}

// A new bitmap of r's size holding the pixels of r from an image of the given size that starts
// at origin in source's coordinates; what lies outside the image is black.
HBITMAP CutOut(HDC source, POINT origin, const Size& image, const RECT& r) {
    CropPlan plan{};
    if (!PlanCrop(image, ToRect(r), plan)) {
        return nullptr;
    }
    const ScopedIC display(L"display");
    const ScopedMemDC resultDC(display.Get());
    HBITMAP result = CreateCompatibleBitmap(display.Get(), plan.result.cx, plan.result.cy);
    if (!result) {
        return nullptr;
    }
    const ScopedSelect resultSelected(resultDC.Get(), result);
    // A region stored on a larger monitor layout reaches past the image: black, not garbage.
    if (plan.fill) {
        PatBlt(resultDC.Get(), 0, 0, plan.result.cx, plan.result.cy, BLACKNESS);
    }
    if (plan.copy) {
        BitBlt(resultDC.Get(), plan.destination.x, plan.destination.y,
               plan.source.right - plan.source.left, plan.source.bottom - plan.source.top, source,
               origin.x + plan.source.left, origin.y + plan.source.top, SRCCOPY);
    }
    return result;
}

}  // namespace

HBITMAP RunCaptureSession(uint32_t delayMs, bool includeCursor, RECT& region, bool* cancelled) {
    if (cancelled) {
        *cancelled = false;
    }
    // Only its existence matters; a second session simply opens the same one.
    const ScopedHandle marker(CreateMutexW(nullptr, FALSE, kCaptureMutexName));
    // The settle time runs from here. The first window of a process is slow to make (under Wine
    // it also enters COM); made hidden within the settle time, the overlay costs the user
    // nothing, and it is shown once the screen has been grabbed.
    const uint64_t grabAt = NowMs() + GetCaptureWaitMs(delayMs);
    const RECT planned = GetVirtualScreenRect();
    CCapture overlay;
    const HWND window =
        overlay.Create(nullptr, planned, L"", WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    if (const uint64_t now = NowMs(); now < grabAt) {
        Sleep(static_cast<DWORD>(grabAt - now));
    }

    const RECT screen = GetVirtualScreenRect();
    CapturedCursor cursor;
    if (includeCursor) {
        CaptureCursor(cursor);
    }
    const bool sameRegion = !IsRectEmpty(&region);
    // In same-region mode the overlay ends on the pointer position posted below, before it ever
    // paints: nothing but the region is shown or cut, so only the region is grabbed, and that
    // image is the result. A quarter of a large screen is grabbed in a quarter of the time.
    ScopedBitmap screenImage(sameRegion ? GrabRegion(screen, region) : GrabScreen(screen));

    overlay.screenBitmap = screenImage.Get();
    overlay.imageOrigin = sameRegion ? POINT{region.left, region.top} : POINT{0, 0};
    overlay.cursor = cursor.handle ? &cursor : nullptr;
    overlay.sameRegion = sameRegion;
    if (window) {
        // Monitors may have come or gone during a long delay.
        if (!EqualRect(&planned, &screen)) {
            MoveWindow(window, screen.left, screen.top, screen.right - screen.left,
                       screen.bottom - screen.top, FALSE);
        }
        ShowWindow(window, SW_SHOW);
        PostPointerPosition(window);
    }
    const int result = RunModalLoop(nullptr, window);
    if (window) {
        DestroyWindow(window);
    }

    if (result != kAccepted) {
        if (cancelled) {
            *cancelled = true;
        }
        return nullptr;
    }
    if (sameRegion) {
        return screenImage.Release();
    }
    region = ToRECT(overlay.selection);
    return IsRectEmpty(&region) ? nullptr : CropBitmap(screenImage.Get(), region);
}

HBITMAP GrabScreen(const RECT& r) {
    const HWND desktop = GetDesktopWindow();
    const ScopedWindowDC screen(desktop, GetWindowDC(desktop));
    const ScopedMemDC memory(screen.Get());
    HBITMAP bitmap = CreateCompatibleBitmap(screen.Get(), r.right - r.left, r.bottom - r.top);
    if (bitmap) {
        const ScopedSelect selected(memory.Get(), bitmap);
        // No CAPTUREBLT: the pointer enters the image only through the captured cursor.
        BitBlt(memory.Get(), 0, 0, r.right - r.left, r.bottom - r.top, screen.Get(), r.left, r.top,
               SRCCOPY);
    }
    return bitmap;
}

HBITMAP GrabRegion(const RECT& screen, const RECT& region) {
    const HWND desktop = GetDesktopWindow();
    const ScopedWindowDC screenDC(desktop, GetWindowDC(desktop));
    // No CAPTUREBLT: the pointer enters the image only through the captured cursor.
    return CutOut(screenDC.Get(), POINT{screen.left, screen.top},
                  Size{screen.right - screen.left, screen.bottom - screen.top}, region);
}

HBITMAP CropBitmap(HBITMAP source, const RECT& r) {
    const ScopedIC display(L"display");
    const ScopedMemDC sourceDC(display.Get());
    const ScopedSelect sourceSelected(sourceDC.Get(), source);
    return CutOut(sourceDC.Get(), POINT{0, 0}, GetBitmapSize(source), r);
}

Rect LoadCaptureRegion() {
    const Tessel::String text =
        GetSettingString(kSettingsSection, kCaptureRegionName, Tessel::String());
    return ParseCaptureRegion(text.CStr());
}

void SaveCaptureRegion(const Rect& region) {
    SetSettingString(kSettingsSection, kCaptureRegionName, FormatCaptureRegion(region));
}
