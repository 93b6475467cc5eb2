#include "capture/screen_pattern.h"

#include "support/bitmap_pixels.h"
#include "support/input.h"

namespace {

constexpr UINT WM_APP_FILL = WM_APP + 1;
constexpr UINT WM_APP_ACTIVATE = WM_APP + 2;
constexpr UINT WM_APP_SHOW_POINTER = WM_APP + 3;
constexpr UINT WM_APP_SET_POINTER = WM_APP + 4;
constexpr const wchar_t* kClassName = L"GlimpserTestPattern";

struct WindowState {
    uint32_t fill;
    HCURSOR pointer;
};

void PaintPattern(HWND window, HDC dc, uint32_t fill) {
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    Pixels pixels;
    pixels.width = client.right;
    pixels.height = client.bottom;
    pixels.values.resize(static_cast<size_t>(pixels.width) * pixels.height);
    for (int y = 0; y < pixels.height; ++y) {
        for (int x = 0; x < pixels.width; ++x) {
            pixels.values[static_cast<size_t>(y) * pixels.width + x] =
                fill == CPatternWindow::kPattern ? PatternColor(origin.x + x, origin.y + y) : fill;
        }
    }
    const BITMAPINFO info = TopDown32BitInfo(pixels.width, pixels.height);
    SetDIBitsToDevice(dc, 0, 0, pixels.width, pixels.height, 0, 0, 0, pixels.height,
                      pixels.values.data(), &info, DIB_RGB_COLORS);
}

LRESULT CALLBACK PatternProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<WindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            PaintPattern(window, dc, state ? state->fill : CPatternWindow::kPattern);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_APP_FILL:
            if (state) {
                state->fill = static_cast<uint32_t>(wParam);
            }
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            GdiFlush();
            return 0;
        case WM_APP_ACTIVATE:
            SetForegroundWindow(window);
            SetActiveWindow(window);
            return 0;
        case WM_APP_SHOW_POINTER:
            ShowCursor(wParam != 0);
            return 0;
        case WM_APP_SET_POINTER:
            if (state) {
                state->pointer = reinterpret_cast<HCURSOR>(wParam);
            }
            SetCursor(reinterpret_cast<HCURSOR>(wParam));
            return 0;
        case WM_SETCURSOR:
            if (state && LOWORD(lParam) == HTCLIENT) {
                SetCursor(state->pointer);
                return TRUE;
            }
            return DefWindowProcW(window, message, wParam, lParam);
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

uint32_t PatternColor(int x, int y) {
    const uint32_t ux = static_cast<uint32_t>(x) & 0xFFF;
    const uint32_t uy = static_cast<uint32_t>(y) & 0xFFF;
    return ((ux & 0xFF) << 16) | ((uy & 0xFF) << 8) | ((ux >> 8) << 4) | (uy >> 8);
}

CPatternWindow::~CPatternWindow() {
    if (window) {
        ResetEvent(ready);
        PostMessageW(window, WM_CLOSE, 0, 0);
        // Destroying the foreground window activates one of this thread's windows, which waits
        // for this thread to answer.
        while (MsgWaitForMultipleObjects(1, &ready, FALSE, INFINITE, QS_ALLINPUT) ==
               WAIT_OBJECT_0 + 1) {
            PumpMessagesFor(0);
        }
    }
    if (thread.joinable()) {
        thread.join();
    }
    if (ready) {
        CloseHandle(ready);
    }
}

bool CPatternWindow::Open(const RECT& screenRect) {
    ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread = std::thread([this, screenRect] { Run(screenRect); });
    WaitForSingleObject(ready, INFINITE);
    if (!window) {
        return false;
    }
    // Give the display time to take the window's first frame.
    PumpMessagesFor(300);
    return true;
}

void CPatternWindow::Fill(uint32_t color) {
    SendMessageW(window, WM_APP_FILL, color, 0);
}

void CPatternWindow::Activate() {
    SendMessageW(window, WM_APP_ACTIVATE, 0, 0);
}

void CPatternWindow::SetPointer(HCURSOR cursor) {
    SendMessageW(window, WM_APP_SET_POINTER, reinterpret_cast<WPARAM>(cursor), 0);
}

void CPatternWindow::ShowPointer(bool show) {
    SendMessageW(window, WM_APP_SHOW_POINTER, show ? 1 : 0, 0);
}

void CPatternWindow::Run(RECT screenRect) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &PatternProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    WindowState state{kPattern, LoadCursorW(nullptr, IDC_ARROW)};
    HWND created = CreateWindowExW(
        WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, L"Pattern", WS_POPUP, screenRect.left,
        screenRect.top, screenRect.right - screenRect.left, screenRect.bottom - screenRect.top,
        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (created) {
        SetWindowLongPtrW(created, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
        ShowWindow(created, SW_SHOW);
        SetForegroundWindow(created);
        UpdateWindow(created);
    }
    window = created;
    SetEvent(ready);
    if (!created) {
        return;
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_CLOSE && msg.hwnd == created) {
            DestroyWindow(created);
            SetEvent(ready);
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void PointerTo(POINT point) {
    SetCursorPos(point.x, point.y);
    MoveMouseTo(point.x, point.y);
}

Pixels ReadBitmapPixels(HBITMAP bitmap) {
    Pixels pixels;
    if (!bitmap) {
        return pixels;
    }
    const SIZE size = BitmapSize(bitmap);
    pixels.width = size.cx;
    pixels.height = size.cy;
    pixels.values = BitmapPixels(bitmap);
    return pixels;
}

Pixels ExpectedPattern(const RECT& screenRect) {
    Pixels pixels;
    pixels.width = screenRect.right - screenRect.left;
    pixels.height = screenRect.bottom - screenRect.top;
    for (int y = screenRect.top; y < screenRect.bottom; ++y) {
        for (int x = screenRect.left; x < screenRect.right; ++x) {
            pixels.values.push_back(PatternColor(x, y));
        }
    }
    return pixels;
}

HBITMAP MakeBitmap(const Pixels& pixels) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, pixels.width, pixels.height);
    const BITMAPINFO info = TopDown32BitInfo(pixels.width, pixels.height);
    SetDIBits(screen, bitmap, 0, pixels.height, pixels.values.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}
