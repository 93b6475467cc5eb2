#pragma once
// Real input for tests: SendInput into the test display, and message pumping while it lands.
#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <vector>

inline void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi = {dx, dy, 0, flags, 0, 0};
    SendInput(1, &input, sizeof input);
}

// Absolute SendInput coordinates are 0..65535 across the virtual desktop; the pointer lands on
// pixel x only when the coordinate is rounded up.
inline LONG ToAbsolute(int pixel, int originMetric, int extentMetric) {
    const long long extent = GetSystemMetrics(extentMetric);
    return static_cast<LONG>(((pixel - GetSystemMetrics(originMetric)) * 65536LL + extent - 1) /
                             extent);
}

// Moves the pointer to the screen pixel (x, y), which may lie left of or above the primary
// monitor.
inline void MoveMouseTo(int x, int y) {
    // SendInput moves Wine's pointer; SetCursorPos also moves the X server's, which a window
    // that appears next asks for.
    SetCursorPos(x, y);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK,
              ToAbsolute(x, SM_XVIRTUALSCREEN, SM_CXVIRTUALSCREEN),
              ToAbsolute(y, SM_YVIRTUALSCREEN, SM_CYVIRTUALSCREEN));
}

inline void MouseButton(bool left, bool down) {
    SendMouse(left ? (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP)
                   : (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP));
}

// Presses the keys in order and lets them go in the reverse order: {VK_CONTROL, 'S'} is Ctrl+S.
inline void PressKeys(std::initializer_list<WORD> virtualKeys) {
    std::vector<INPUT> keys(virtualKeys.size() * 2);
    for (size_t i = 0; i < virtualKeys.size(); ++i) {
        INPUT& down = keys[i];
        INPUT& up = keys[keys.size() - 1 - i];
        down.type = up.type = INPUT_KEYBOARD;
        down.ki.wVk = up.ki.wVk = virtualKeys.begin()[i];
        up.ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof keys[0]);
}

inline void PressKey(WORD virtualKey) {
    PressKeys({virtualKey});
}

// Dispatches this thread's messages until `find` answers something (a window, true, a process
// id) or the time runs out; answers its last answer.
template <class Find>
auto WaitFor(Find find, DWORD milliseconds) {
    for (const DWORD start = GetTickCount();;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const auto found = find();
        const DWORD elapsed = GetTickCount() - start;
        if (found || elapsed >= milliseconds)
            return found;
        // Poll: the condition may change without any message reaching this thread.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(milliseconds - elapsed, 10),
                                  QS_ALLINPUT);
    }
}

// Dispatches this thread's messages for at least the given time.
inline void PumpMessagesFor(DWORD milliseconds) {
    WaitFor([] { return false; }, milliseconds);
}
// Dispatches this thread's messages until the predicate holds or the time runs out; answers
// whether it held.
inline bool PumpMessagesUntil(bool (*done)(void* context), void* context, DWORD milliseconds) {
    return WaitFor([=] { return done(context); }, milliseconds);
}
