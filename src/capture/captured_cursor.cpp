#include "capture/captured_cursor.h"

#include <shellscalingapi.h>

#include <algorithm>
#include <array>
#include <iterator>

#include "capture/cursor_size.h"
#include "win/rect.h"
#include "win/scoped_win.h"

namespace {

constexpr WORD kStandardCursorIds[] = {32512, 32513, 32514, 32515, 32516, 32642, 32643, 32644,
                                       32645, 32646, 32648, 32649, 32650, 32651, 32671, 32672};

// GetIconInfoExW hands out two bitmaps that the caller must delete.
struct IconInfo {
    ICONINFOEXW info{};
    bool valid = false;
    ScopedBitmap mask;
    ScopedBitmap color;

    explicit IconInfo(HICON icon) {
        info.cbSize = sizeof(info);
        valid = GetIconInfoExW(icon, &info) != FALSE;
        mask.Reset(info.hbmMask);
        color.Reset(info.hbmColor);
    }
};

bool MeasureBitmap(HBITMAP bitmap, BITMAP& measured) {
    return bitmap && GetObjectW(bitmap, sizeof(measured), &measured) != 0;
}

// The image size: the colour bitmap's, else the mask's, whose height holds the AND and the XOR
// halves of a monochrome cursor one above the other.
Size MeasureCursorImage(const IconInfo& icon) {
    BITMAP measured{};
    if (MeasureBitmap(icon.color.Get(), measured)) {
        return Size{measured.bmWidth, measured.bmHeight};
    }
    if (MeasureBitmap(icon.mask.Get(), measured)) {
        return Size{measured.bmWidth, measured.bmHeight / 2};
    }
    return Size{};
}

// A cursor loaded from a resource can be drawn by the system at any size. Asked without DPI
// awareness, the system still names the resource the cursor came from.
bool IsResourceCursor(HCURSOR cursor) {
    const DPI_AWARENESS_CONTEXT previous =
        SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_UNAWARE);
    const IconInfo icon(cursor);
    if (previous) {
        SetThreadDpiAwarenessContext(previous);
    }
    return icon.valid && (icon.info.wResID != 0 || icon.info.szResName[0] != 0);
}

// Whether the window under the pointer belongs to the foreground thread, whose cursor is the
// one GetCursorInfo describes under Wine.
bool PointerOverForegroundThread(POINT point) {
    const HWND under = WindowFromPoint(point);
    const HWND foreground = GetForegroundWindow();
    return under && foreground &&
           GetWindowThreadProcessId(under, nullptr) ==
               GetWindowThreadProcessId(foreground, nullptr);
}

// The cursor to record for a showing pointer, or none when it is hidden. Wine answers
// GetCursorInfo with the foreground thread's cursor, not that of the window under the pointer
// (none at all while no window is in the front), and GetIconInfoExW fails on a cursor of another
// process, so a pointer resting over another program's window was lost.
// Where no readable handle comes back for a pointer that shows, the arrow stands in for it,
// unless the foreground thread itself hid it over its own window.
HCURSOR ChooseCursor(const CURSORINFO& current) {
    if (current.hCursor) {
        if (IconInfo(current.hCursor).valid) {
            return current.hCursor;
        }
    } else if (PointerOverForegroundThread(current.ptScreenPos)) {
        return nullptr;
    }
    return LoadCursorW(nullptr, IDC_ARROW);
}

}  // namespace

CapturedCursor::~CapturedCursor() {
    ReleaseCapturedCursor(*this);
}

bool CaptureCursor(CapturedCursor& cursor) {
    ReleaseCapturedCursor(cursor);
    CURSORINFO current{};
    current.cbSize = sizeof(current);
    if (!GetCursorInfo(&current) || (current.flags & CURSOR_SHOWING) == 0) {
        return false;
    }
    const HCURSOR handle = ChooseCursor(current);
    if (!handle) {
        return false;
    }
    const IconInfo icon(handle);
    if (!icon.valid) {
        return false;
    }
    const Size image = MeasureCursorImage(icon);
    if (image.cx < 1 || image.cy < 1) {
        return false;
    }
    const bool shared = IsStandardCursor(handle) || IsResourceCursor(handle);
    int32_t baseSize = kDefaultCursorBaseSize;
    int32_t metric = 0;
    if (shared) {
        baseSize = GetCursorBaseSize();
        metric = GetSystemMetricsForDpi(SM_CXCURSOR, GetCursorMonitorDpi());
    }
    const CursorShape shape = ScaleCursorShape(
        image,
        Point{static_cast<int32_t>(icon.info.xHotspot), static_cast<int32_t>(icon.info.yHotspot)},
        shared, baseSize, metric);
    if (shared) {
        cursor.handle = handle;
        cursor.owned = false;
    } else {
        cursor.handle = CopyIcon(handle);
        if (!cursor.handle) {
            return false;
        }
        cursor.owned = true;
    }
    cursor.width = shape.width;
    cursor.height = shape.height;
    cursor.hotX = shape.hotX;
    cursor.hotY = shape.hotY;
    return true;
}

void ReleaseCapturedCursor(CapturedCursor& cursor) {
    if (cursor.handle && cursor.owned) {
        DestroyCursor(cursor.handle);
    }
    cursor.handle = nullptr;
    cursor.owned = false;
}

void DrawCapturedCursor(const CapturedCursor& cursor, HDC dc, POINT point) {
    if (!cursor.handle) {
        return;
    }
    DrawIconEx(dc, point.x - cursor.hotX, point.y - cursor.hotY, cursor.handle, cursor.width,
               cursor.height, 0, nullptr, DI_NORMAL);
}

bool IsStandardCursor(HCURSOR cursor) {
    // A system without one of the ids loads none for it; no cursor is not that cursor.
    if (!cursor) {
        return false;
    }
    // Shared cursors keep their handles for the life of the process, so they are looked up once.
    static const auto standard = [] {
        std::array<HCURSOR, std::size(kStandardCursorIds)> loaded{};
        for (size_t i = 0; i < loaded.size(); ++i) {
            loaded[i] = LoadCursorW(nullptr, MAKEINTRESOURCEW(kStandardCursorIds[i]));
        }
        return loaded;
    }();
    return std::find(standard.begin(), standard.end(), cursor) != standard.end();
}

int32_t GetCursorBaseSize() {
    DWORD value = 0;
    DWORD size = sizeof(value);
    const bool found = RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Cursors", L"CursorBaseSize",
                                    RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS;
    return ClampCursorBaseSize(found, value);
}

uint32_t GetCursorMonitorDpi() {
    const DPI_AWARENESS_CONTEXT previous =
        SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    uint32_t dpi = USER_DEFAULT_SCREEN_DPI;
    POINT position{};
    if (GetCursorPos(&position)) {
        const HMONITOR monitor = MonitorFromPoint(position, MONITOR_DEFAULTTONEAREST);
        UINT dpiX = 0;
        UINT dpiY = 0;
        if (monitor && SUCCEEDED(GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &dpiX, &dpiY))) {
            dpi = dpiX;
        }
    }
    if (previous) {
        SetThreadDpiAwarenessContext(previous);
    }
    return dpi;
}
