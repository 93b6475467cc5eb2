#include "window_pixels.h"

#include <cstdlib>

#include "app/scoped_win.h"

Pixels ReadWindowPixels(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    ScopedWindowDC windowDc(window, GetDCEx(window, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE));
    ScopedBitmap copy(CreateCompatibleBitmap(windowDc.Get(), client.right, client.bottom));
    {
        ScopedMemDC memory(windowDc.Get());
        ScopedSelect selection(memory.Get(), copy.Get());
        BitBlt(memory.Get(), 0, 0, client.right, client.bottom, windowDc.Get(), 0, 0, SRCCOPY);
    }
    return ReadBitmapPixels(copy.Get());
}

void PaintBlocks(HDC dc, const RECT& client) {
    for (int y = 0; y < client.bottom; y += 4) {
        for (int x = 0; x < client.right; x += 4) {
            ScopedGdiObject<HBRUSH> brush(
                CreateSolidBrush(RGB((x * 5) & 0xFF, (y * 7) & 0xFF, ((x + y) * 3) & 0xFF)));
            const RECT block{x, y, x + 4, y + 4};
            FillRect(dc, &block, brush.Get());
        }
    }
}

uint32_t HighlightOver(uint32_t background) {
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const uint32_t source[3] = {GetRValue(highlight), GetGValue(highlight), GetBValue(highlight)};
    uint32_t result = 0;
    for (int i = 0; i < 3; ++i) {
        const uint32_t below = (background >> (16 - 8 * i)) & 0xFF;
        result |= ((source[i] * 64 + below * 191 + 127) / 255) << (16 - 8 * i);
    }
    return result;
}

bool NearColor(uint32_t actual, uint32_t expected) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > 1) {
            return false;
        }
    }
    return true;
}

CPaintedWindow::CPaintedWindow(const RECT& place) {
    handler = [this](UINT message, WPARAM, LPARAM, bool& handled) {
        if (message == WM_PAINT) {
            ScopedPaint paint(hwnd);
            RECT client{};
            GetClientRect(hwnd, &client);
            PaintBlocks(paint.Get(), client);
            return LRESULT{0};
        }
        handled = message == WM_ERASEBKGND;
        return LRESULT{handled ? 1 : 0};
    };
    CreatePopup(place, WS_POPUP | WS_VISIBLE);
    UpdateWindow(hwnd);
}
