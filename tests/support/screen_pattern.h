#pragma once
// A test pattern on the real screen: every pixel's colour names its screen position, so a copy
// shifted by one pixel cannot pass for the original.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imaging/bitmap_utils.h"
#include "support/bitmap_pixels.h"
#include "support/input.h"
#include "support/probe_window.h"
#include "win/rect.h"
#include "win/scoped_win.h"

// The pattern's pixels in the screen rectangle as 0x00RRGGBB, top-down, row after row.
inline std::vector<uint32_t> ExpectedPattern(const RECT& screenRect) {
    std::vector<uint32_t> pixels;
    for (int y = screenRect.top; y < screenRect.bottom; ++y) {
        for (int x = screenRect.left; x < screenRect.right; ++x)
            pixels.push_back(static_cast<uint32_t>((x & 0xFF) << 16 | (y & 0xFF) << 8 |
                                                   (x >> 8 & 0xF) << 4 | (y >> 8 & 0xF)));
    }
    return pixels;
}

inline RECT VirtualScreen() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// A shown popup in the foreground, painted with the pattern.
class CPatternWindow : public CProbeWindow {
public:
    explicit CPatternWindow(const RECT& place) {
        // A popup without a frame: its client area covers the place.
        handler = [this, place](UINT message, WPARAM, LPARAM, bool& handled) -> LRESULT {
            if (message == WM_PAINT) {
                ScopedPaint paint(hwnd);
                const int width = place.right - place.left, height = place.bottom - place.top;
                const BITMAPINFO info = Make32BitDibInfo(width, -height);
                SetDIBitsToDevice(paint.Get(), 0, 0, width, height, 0, 0, 0, height,
                                  ExpectedPattern(place).data(), &info, DIB_RGB_COLORS);
                return 0;
            }
            handled = message == WM_ERASEBKGND;
            return handled;
        };
        Create(nullptr, place, L"Pattern", WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
        SetForegroundWindow(hwnd);
        UpdateWindow(hwnd);
        // Give the display time to take the window's first frame.
        PumpMessagesFor(300);
    }
    // Over the whole virtual screen.
    CPatternWindow() : CPatternWindow(VirtualScreen()) {}
};

// The client area, read even while the window is locked against drawing, whichever process
// drew it.
inline std::vector<uint32_t> ReadWindowPixels(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    ScopedWindowDC windowDc(window, GetDCEx(window, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE));
    ScopedBitmap copy(CreateCompatibleBitmap(windowDc.Get(), client.right, client.bottom));
    {
        ScopedMemDC memory(windowDc.Get());
        ScopedSelect selection(memory.Get(), copy.Get());
        BitBlt(memory.Get(), 0, 0, client.right, client.bottom, windowDc.Get(), 0, 0, SRCCOPY);
    }
    return BitmapPixels(copy.Get());
}

// Whether the pixel shows the highlight colour at 64/255 over the background, each channel
// within one.
inline bool IsHighlightOver(uint32_t actual, uint32_t background) {
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);  // 0x00BBGGRR
    for (int shift = 0; shift < 24; shift += 8) {
        const int source = static_cast<int>((highlight >> (16 - shift)) & 0xFF);
        const int below = static_cast<int>((background >> shift) & 0xFF);
        const int shown = static_cast<int>((actual >> shift) & 0xFF);
        if (std::abs(shown - (source * 64 + below * 191 + 127) / 255) > 1)
            return false;
    }
    return true;
}

// The pixels of a window showing the shapes over what it showed before that are wrong: off the
// shapes they must be as before, inside their outlines the highlight colour at 64/255 over them
// (each channel within one).
inline int CountWrongPixels(const std::vector<uint32_t>& now, const std::vector<uint32_t>& before,
                            int width, std::vector<Rect> shapes) {
    for (Rect& s : shapes)
        NormalizeRect(s);
    int wrong = 0;
    for (int i = 0; i < static_cast<int>(now.size()); ++i) {
        const int x = i % width, y = i / width;
        bool inside = false, outline = false;
        for (const Rect& s : shapes) {
            const bool in = x >= s.left && x < s.right && y >= s.top && y < s.bottom;
            inside |= in;
            outline |= in && (x == s.left || x == s.right - 1 || y == s.top || y == s.bottom - 1);
        }
        if (!inside)
            wrong += now[i] != before[i];
        else if (!outline)
            wrong += !IsHighlightOver(now[i], before[i]);
    }
    return wrong;
}
