#pragma once
// The window on which the user chooses the capture region: borderless, topmost, exactly as large
// as the virtual screen, showing the frozen screen image one to one. A left drag draws the
// rectangle and its release accepts it; Escape or any close request cancels.
#include <windows.h>

#include "capture/captured_cursor.h"
#include "win/modal_loop.h"
#include "win/rect.h"
#include "win/window_impl.h"

class CCapture : public CWindowImpl<CCapture> {
public:
    // Set by the session before the window is created; none of them is owned.
    CapturedCursor* cursor = nullptr;
    bool sameRegion = false;
    HBITMAP screenBitmap = nullptr;
    // Where the image's top-left pixel lies in the window: the region's corner when only the
    // region was grabbed, else 0, 0.
    POINT imageOrigin{};

    // The accepted rectangle in client (and image) coordinates; empty after a click without a
    // drag, and in same-region mode, where the session cuts its own region.
    Rect selection;

    // The crosshair comes from WM_SETCURSOR, whatever the class cursor.
    static constexpr UINT kClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    static constexpr int kBackground = COLOR_WINDOW + 1;
    static constexpr int kCursorId = 32512;  // IDC_ARROW

    BEGIN_MSG_MAP(CCapture)
    MESSAGE_HANDLER(WM_CLOSE, OnClose)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
    MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
    MESSAGE_HANDLER(WM_CREATE, OnIgnored)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnIgnored)
    MESSAGE_HANDLER(WM_SETFOCUS, OnIgnored)
    MESSAGE_HANDLER(WM_MODAL_PRETRANSLATE, OnModalPretranslate)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    END_MSG_MAP()

private:
    MessageHandler OnClose, OnEraseBkgnd, OnPaint, OnSetCursor, OnKeyDown, OnIgnored,
        OnModalPretranslate, OnLButtonDown, OnMouseMove;

    // Puts the pointer image into the frozen image where the mouse was first seen.
    void PlaceCursor(POINT point);

    bool cursorPlaced = false;
    POINT cursorPoint{};
};
