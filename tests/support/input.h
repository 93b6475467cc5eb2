#pragma once
// Real input for tests: SendInput into the test display, and message pumping while it lands.
#include <windows.h>

#include <algorithm>

// Moves the pointer to the screen pixel (x, y), which may lie left of or above the primary
// monitor.
void MoveMouseTo(int x, int y);
void MouseButton(bool left, bool down);
void PressKey(WORD virtualKey);
// Dispatches this thread's messages for at least the given time.
void PumpMessagesFor(DWORD milliseconds);
// Dispatches this thread's messages until the predicate holds or the time runs out; answers
// whether it held.
bool PumpMessagesUntil(bool (*done)(void* context), void* context, DWORD milliseconds);
void DispatchWaitingMessages();

// Dispatches this thread's messages until `find` answers something (a window, true, a process
// id) or the time runs out; answers its last answer.
template <class Find>
auto WaitFor(Find find, DWORD milliseconds) {
    for (const DWORD start = GetTickCount();;) {
        DispatchWaitingMessages();
        const auto found = find();
        const DWORD elapsed = GetTickCount() - start;
        if (found || elapsed >= milliseconds)
            return found;
        // Poll: the condition may change without any message reaching this thread.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(milliseconds - elapsed, 10),
                                  QS_ALLINPUT);
    }
}
