#pragma once
// The mouse pointer as it looked when the screen was grabbed, kept to be drawn into the frozen
// image later, hot spot aligned, at the size the system draws it on the monitor under it.
#include <windows.h>

#include <cstdint>

// The record owns a private copy of the cursor (owned = true) and gives it back when it goes;
// the system's shared cursors are never destroyed.
struct CapturedCursor {
    HCURSOR handle = nullptr;
    bool owned = false;
    int32_t hotX = 0;
    int32_t hotY = 0;
    int32_t width = 0;
    int32_t height = 0;

    CapturedCursor() = default;
    CapturedCursor(const CapturedCursor&) = delete;
    CapturedCursor& operator=(const CapturedCursor&) = delete;
    ~CapturedCursor();
};

// Fills the record from the current pointer. A showing pointer whose cursor the system does
// not hand over, or hands over unreadable, is recorded as the arrow. False, with no handle, for
// a hidden pointer, a cursor without a measurable image, or a copy that failed.
bool CaptureCursor(CapturedCursor& cursor);

// Destroys a private copy and clears the handle; size and hot spot stay.
void ReleaseCapturedCursor(CapturedCursor& cursor);

// Draws the pointer with its hot spot at point; nothing without a handle.
void DrawCapturedCursor(const CapturedCursor& cursor, HDC dc, POINT point);

// One of the system's 16 standard cursors (IDC_ARROW, IDC_IBEAM, ...).
bool IsStandardCursor(HCURSOR cursor);

// "CursorBaseSize" of "Control Panel\Cursors": 32 unless a REG_DWORD from 32 to 256 is stored.
int32_t GetCursorBaseSize();

// The effective DPI of the monitor under the pointer, 96 when it cannot be found.
uint32_t GetCursorMonitorDpi();
