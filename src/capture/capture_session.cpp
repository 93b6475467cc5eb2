#include "capture/capture_session.h"

#include <algorithm>
#include <cstring>

#include "capture/capture_overlay.h"
#include "capture/capture_region.h"
#include "capture/captured_cursor.h"
#include "imaging/bitmap_utils.h"
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

// A 32-bit top-down DIB section, whose rows the viewer reads in place (a device-dependent
// bitmap's had to be copied out for every zoomed paint), its memory touched once already when
// `ready`. Under Wine a grab into a new bitmap also pays for the first touch of each of its pages,
// which doubled the time of reading a large screen; made within the settle time, that costs
// nothing.
HBITMAP NewCaptureBitmap(const Size& size, bool ready) {
    const BITMAPINFO info = Make32BitDibInfo(size.cx, -size.cy);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && ready) {
        std::memset(bits, 0,
                    size_t{4} * static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy));
    }
    return bitmap;
}

// Reading the screen, the system makes copies of what it reads on the way (under Wine an X image
// and a converted copy of it). Read a band of rows at a time, those copies stay small and reuse
// the same memory: a 3840x2160 grab took 17 ms in bands against 45-110 ms in one piece, and its
// peak memory was the image alone instead of two or three images.
constexpr int64_t kBandBytes = 448 << 10;

// Copies the region of the plan from source, an image that starts at origin in source's
// coordinates, into result, a bitmap of the plan's result size; what lies outside the image is
// black.
void CutOut(HDC source, POINT origin, const CropPlan& plan, HBITMAP result) {
    const ScopedMemDC resultDC(nullptr);
    const ScopedSelect resultSelected(resultDC.Get(), result);
    // A region stored on a larger monitor layout reaches past the image: black, not garbage.
    if (plan.fill) {
        PatBlt(resultDC.Get(), 0, 0, plan.result.cx, plan.result.cy, BLACKNESS);
    }
    if (!plan.copy) {
        return;
    }
    const int width = plan.source.right - plan.source.left;
    const int height = plan.source.bottom - plan.source.top;
    const int bandRows = static_cast<int>(std::max<int64_t>(1, kBandBytes / (int64_t{width} * 4)));
    for (int y = 0; y < height; y += bandRows) {
        BitBlt(resultDC.Get(), plan.destination.x, plan.destination.y + y, width,
               std::min(bandRows, height - y), source, origin.x + plan.source.left,
               origin.y + plan.source.top + y, SRCCOPY);
    }
}

Size SizeOf(const RECT& r) {
    return Size{r.right - r.left, r.bottom - r.top};
}

// Reads what the region, relative to the top-left corner of the screen rectangle, covers of the
// screen into bitmap, of the region's size; what lies outside the screen is black.
void GrabInto(HBITMAP bitmap, const RECT& screen, const RECT& region) {
    CropPlan plan{};
    if (!PlanCrop(SizeOf(screen), ToRect(region), plan)) {
        return;
    }
    const HWND desktop = GetDesktopWindow();
    const ScopedWindowDC screenDC(desktop, GetWindowDC(desktop));
    // No CAPTUREBLT: the pointer enters the image only through the captured cursor.
    CutOut(screenDC.Get(), POINT{screen.left, screen.top}, plan, bitmap);
}

// A ready bitmap for the region, or null when the region cannot be cut (empty or too large).
HBITMAP NewRegionBitmap(const RECT& region) {
    CropPlan plan{};
    return PlanCrop(Size{}, ToRect(region), plan) ? NewCaptureBitmap(plan.result, true) : nullptr;
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
    // In same-region mode the overlay ends on the pointer position posted below, before it ever
    // paints: nothing but the region is shown or cut, so only the region is grabbed, and that
    // image is the result. A quarter of a large screen is grabbed in a quarter of the time.
    const bool sameRegion = !IsRectEmpty(&region);
    ScopedBitmap screenImage(sameRegion ? NewRegionBitmap(region)
                                        : NewCaptureBitmap(SizeOf(planned), true));
    if (const uint64_t now = NowMs(); now < grabAt) {
        Sleep(static_cast<DWORD>(grabAt - now));
    }

    const RECT screen = GetVirtualScreenRect();
    CapturedCursor cursor;
    if (includeCursor) {
        CaptureCursor(cursor);
    }
    // Monitors may have come or gone during a long delay.
    const bool screenChanged = !EqualRect(&planned, &screen);
    if (!sameRegion && screenChanged) {
        screenImage.Reset(NewCaptureBitmap(SizeOf(screen), false));
    }
    const RECT wholeScreen{0, 0, screen.right - screen.left, screen.bottom - screen.top};
    if (screenImage) {
        GrabInto(screenImage.Get(), screen, sameRegion ? region : wholeScreen);
    }

    overlay.screenBitmap = screenImage.Get();
    overlay.imageOrigin = sameRegion ? POINT{region.left, region.top} : POINT{0, 0};
    overlay.cursor = cursor.handle ? &cursor : nullptr;
    overlay.sameRegion = sameRegion;
    if (window) {
        if (screenChanged) {
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
    if (IsRectEmpty(&region)) {
        return nullptr;
    }
    // The whole screen drawn over is the frozen image itself: a copy of it would cost the first
    // touch of as much fresh memory again (80 ms at 3840x2160) between the release and the view.
    return EqualRect(&region, &wholeScreen) ? screenImage.Release()
                                            : CropBitmap(screenImage.Get(), region);
}

HBITMAP GrabScreen(const RECT& r) {
    HBITMAP bitmap = NewCaptureBitmap(SizeOf(r), false);
    if (bitmap) {
        GrabInto(bitmap, r, RECT{0, 0, r.right - r.left, r.bottom - r.top});
    }
    return bitmap;
}

HBITMAP CropBitmap(HBITMAP source, const RECT& r) {
    CropPlan plan{};
    if (!PlanCrop(GetBitmapSize(source), ToRect(r), plan)) {
        return nullptr;
    }
    HBITMAP result = NewCaptureBitmap(plan.result, false);
    if (result) {
        const ScopedMemDC sourceDC(nullptr);
        const ScopedSelect sourceSelected(sourceDC.Get(), source);
        CutOut(sourceDC.Get(), POINT{0, 0}, plan, result);
    }
    return result;
}

Rect LoadCaptureRegion() {
    const Tessel::String text =
        GetSettingString(kSettingsSection, kCaptureRegionName, Tessel::String());
    return ParseCaptureRegion(text.CStr());
}

void SaveCaptureRegion(const Rect& region) {
    SetSettingString(kSettingsSection, kCaptureRegionName, FormatCaptureRegion(region));
}
