#include "support/input.h"

namespace {
// Absolute SendInput coordinates are 0..65535 across the virtual desktop; the pointer lands on
// pixel x only when the coordinate is rounded up.
LONG ToAbsolute(int pixel, int origin, int extent) {
    long long scaled = static_cast<long long>(pixel - origin) * 65536;
    return static_cast<LONG>((scaled + extent - 1) / extent);
}

void Send(INPUT input) {
    SendInput(1, &input, sizeof input);
}
}  // namespace

void MoveMouseTo(int x, int y) {
    // SendInput moves Wine's pointer; SetCursorPos also moves the X server's, which a window
    // that appears next asks for.
    SetCursorPos(x, y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx =
        ToAbsolute(x, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN));
    input.mi.dy =
        ToAbsolute(y, GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    Send(input);
}

void MouseButton(bool left, bool down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = left ? (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP)
                            : (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP);
    Send(input);
}

void PressKey(WORD virtualKey) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    Send(input);
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    Send(input);
}

bool PumpMessagesUntil(bool (*done)(void* context), void* context, DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done && done(context))
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds)
            return false;
        // Poll: the condition may change without any message reaching this thread.
        DWORD wait = milliseconds - elapsed < 10 ? milliseconds - elapsed : 10;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    }
}

void PumpMessagesFor(DWORD milliseconds) {
    PumpMessagesUntil(nullptr, nullptr, milliseconds);
}
