#include "support/input.h"

namespace {
void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi = {dx, dy, 0, flags, 0, 0};
    SendInput(1, &input, sizeof input);
}

// Absolute SendInput coordinates are 0..65535 across the virtual desktop; the pointer lands on
// pixel x only when the coordinate is rounded up.
LONG ToAbsolute(int pixel, int originMetric, int extentMetric) {
    const long long extent = GetSystemMetrics(extentMetric);
    return static_cast<LONG>(((pixel - GetSystemMetrics(originMetric)) * 65536LL + extent - 1) /
                             extent);
}
}  // namespace

void MoveMouseTo(int x, int y) {
    // SendInput moves Wine's pointer; SetCursorPos also moves the X server's, which a window
    // that appears next asks for.
    SetCursorPos(x, y);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK,
              ToAbsolute(x, SM_XVIRTUALSCREEN, SM_CXVIRTUALSCREEN),
              ToAbsolute(y, SM_YVIRTUALSCREEN, SM_CYVIRTUALSCREEN));
}

void MouseButton(bool left, bool down) {
    SendMouse(left ? (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP)
                   : (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP));
}

void PressKey(WORD virtualKey) {
    INPUT keys[2]{};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = virtualKey;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof keys[0]);
}

void DispatchWaitingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpMessagesUntil(bool (*done)(void* context), void* context, DWORD milliseconds) {
    return WaitFor([=] { return done && done(context); }, milliseconds);
}

void PumpMessagesFor(DWORD milliseconds) {
    WaitFor([] { return false; }, milliseconds);
}
