#include "capture/capture_overlay.h"

#include <windowsx.h>

#include "capture/rect_tracker.h"
#include "win/scoped_win.h"

namespace {

// The overlay's loop translates and dispatches everything, without dialog navigation.
constexpr LRESULT kDispatchWithoutDialog = 2;

constexpr int kAccepted = 1;
constexpr int kCancelled = 2;

POINT MousePoint(LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

}  // namespace

LRESULT CCapture::OnClose(UINT, WPARAM, LPARAM, bool&) {
    EndModalLoop(hwnd, kCancelled);
    return 0;
}

// Painting covers every pixel, so erasing first would only flicker.
LRESULT CCapture::OnEraseBkgnd(UINT, WPARAM, LPARAM, bool&) {
    return 1;
}

LRESULT CCapture::OnPaint(UINT, WPARAM, LPARAM, bool&) {
    const ScopedPaint paint(hwnd);
    const ScopedMemDC image(paint.Get());
    const ScopedSelect selected(image.Get(), screenBitmap);
    RECT client{};
    GetClientRect(hwnd, &client);
    BitBlt(paint.Get(), imageOrigin.x, imageOrigin.y, client.right - imageOrigin.x,
           client.bottom - imageOrigin.y, image.Get(), 0, 0, SRCCOPY);
    return 1;
}

LRESULT CCapture::OnSetCursor(UINT, WPARAM, LPARAM, bool&) {
    SetCursor(LoadCursorW(nullptr, IDC_CROSS));
    return 0;
}

LRESULT CCapture::OnKeyDown(UINT, WPARAM wParam, LPARAM, bool&) {
    if (wParam == VK_ESCAPE) {
        SendMessageW(hwnd, WM_CLOSE, 0, 0);
    }
    return 0;
}

LRESULT CCapture::OnIgnored(UINT, WPARAM, LPARAM, bool&) {
    return 0;
}

LRESULT CCapture::OnModalPretranslate(UINT, WPARAM, LPARAM, bool&) {
    return kDispatchWithoutDialog;
}

LRESULT CCapture::OnLButtonDown(UINT, WPARAM, LPARAM lParam, bool&) {
    POINT point = MousePoint(lParam);
    if (!cursorPlaced) {
        PlaceCursor(point);
        if (sameRegion) {
            EndModalLoop(hwnd, kAccepted);
            return 0;
        }
        // The drag saves the window's image when it starts: the pointer must be on it by then.
        UpdateWindow(hwnd);
    }
    CDrawRectTrackerEx tracker;
    Point start{point.x, point.y};
    Rect drawn;
    if (tracker.TrackRect(hwnd, start, drawn)) {
        selection = drawn;
        EndModalLoop(hwnd, kAccepted);
    } else if (tracker.aborted) {
        // The close comes back through the modal loop and cancels it there.
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
    } else {
        // A click without a drag: accepted with nothing selected.
        EndModalLoop(hwnd, kAccepted);
    }
    return 0;
}

LRESULT CCapture::OnMouseMove(UINT, WPARAM, LPARAM lParam, bool&) {
    if (cursorPlaced) {
        return 0;
    }
    PlaceCursor(MousePoint(lParam));
    if (sameRegion) {
        EndModalLoop(hwnd, kAccepted);
    }
    return 0;
}

void CCapture::PlaceCursor(POINT point) {
    cursorPoint = point;
    cursorPlaced = true;
    if (!cursor || !cursor->handle) {
        return;
    }
    const ScopedMemDC image(nullptr);
    {
        const ScopedSelect selected(image.Get(), screenBitmap);
        DrawCapturedCursor(*cursor, image.Get(),
                           POINT{point.x - imageOrigin.x, point.y - imageOrigin.y});
    }
    InvalidateRect(hwnd, nullptr, FALSE);
}
