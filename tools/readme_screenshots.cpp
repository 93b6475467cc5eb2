// Takes the README's pictures of the real program under Xvfb: the overlay while a region is
// drawn, and the viewer showing the capture. Usage: readme_screenshots <folder>
#include <windows.h>

#include <cstdio>
#include <string>

#include "e2e/e2e_support.h"
#include "imaging/gdiplus_lifetime.h"
#include "imaging/image_saving.h"
#include "support/input.h"
#include "win/command_ids.h"
#include "win/win_text.h"

namespace {
// A made-up desktop to capture: a sky, two windows and a title.
LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    TRIVERTEX sky[2] = {{0, 0, 0x2000, 0x5000, 0x9000, 0},
                        {client.right, client.bottom, 0xA000, 0xD000, 0xF000, 0}};
    GRADIENT_RECT span{0, 1};
    GradientFill(dc, sky, 2, &span, 1, GRADIENT_FILL_RECT_V);
    struct Box {
        RECT rect;
        COLORREF colour;
        const wchar_t* text;
    } boxes[] = {
        {{client.right / 8, client.bottom / 5, client.right / 2, client.bottom * 3 / 5},
         RGB(250, 250, 245),
         L"Quarterly figures\n\nNorth  1,204\nSouth  987\nEast   1,530\nWest   1,118"},
        {{client.right * 9 / 16, client.bottom * 2 / 5, client.right * 7 / 8,
          client.bottom * 4 / 5},
         RGB(255, 236, 179),
         L"Remember:\nship the release notes"},
    };
    for (const Box& box : boxes) {
        HBRUSH brush = CreateSolidBrush(box.colour);
        FillRect(dc, &box.rect, brush);
        DeleteObject(brush);
        FrameRect(dc, &box.rect, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        RECT text = box.rect;
        InflateRect(&text, -16, -16);
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, box.text, -1, &text, DT_LEFT | DT_TOP);
    }
    EndPaint(window, &paint);
    return 0;
}

HWND ShowBackdrop() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &BackdropProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"GlimpserReadmeBackdrop";
    RegisterClassW(&windowClass);
    HWND window =
        CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0,
                        0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                        nullptr, windowClass.hInstance, nullptr);
    PumpMessagesFor(500);
    return window;
}

bool SaveScreen(const RECT& area, const std::string& path) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, area.right - area.left, area.bottom - area.top);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, area.right - area.left, area.bottom - area.top, screen, area.left,
           area.top, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    bool saved = SaveImage(bitmap, Tessel::String(path.c_str()), 96);
    DeleteObject(bitmap);
    return saved;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: readme_screenshots <folder>\n");
        return 2;
    }
    SetProcessDPIAware();
    GdiplusLifetime gdiplus;
    std::string folder = argv[1];
    ResetUserState();
    HWND backdrop = ShowBackdrop();
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);

    GlimpserProcess capture(L"/capture:region");
    if (!WaitForProcessWindow(capture.Id(), L"", true, 30000))
        return 1;
    PumpMessagesFor(300);
    MoveMouseTo(width / 10, height / 7);
    PumpMessagesFor(100);
    MouseButton(true, true);
    PumpMessagesFor(100);
    MoveMouseTo(width * 11 / 20, height * 5 / 8);
    PumpMessagesFor(500);
    RECT screen{0, 0, width, height};
    bool ok = SaveScreen(screen, folder + "\\overlay.png");
    MouseButton(true, false);

    HWND viewer = WaitForProcessWindow(capture.Id(), L"Glimpser (", false, 30000);
    if (!viewer)
        return 1;
    SetWindowPos(viewer, nullptr, width / 6, height / 8, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PumpMessagesFor(800);
    RECT window;
    GetWindowRect(viewer, &window);
    ok = SaveScreen(window, folder + "\\viewer.png") && ok;
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    capture.WaitForExit(10000);
    DestroyWindow(backdrop);
    return ok ? 0 : 1;
}
