#pragma once
// The benchmarks' side of message_watch.dll: the window that its reports are posted to, and the
// message hook that loads it into every process of the session.
#include <windows.h>

// A report: wParam names the event, lParam is the performance counter when it happened.
constexpr UINT kWatchReport = WM_APP + 77;

inline HHOOK sentMessageWatch = nullptr;

// Makes the window the reports go to, answered by proc, and hooks every thread's message queue
// and the messages sent to its windows; nullptr when the hooks cannot be set.
inline HHOOK StartMessageWatch(WNDPROC proc) {
    WNDCLASSW watcherClass{};
    watcherClass.lpfnWndProc = proc;
    watcherClass.hInstance = GetModuleHandleW(nullptr);
    watcherClass.lpszClassName = L"GlimpserRoadWatch";
    RegisterClassW(&watcherClass);
    CreateWindowExW(0, L"GlimpserRoadWatch", L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                    GetModuleHandleW(nullptr), nullptr);
    HMODULE watch = LoadLibraryW(L"message_watch.dll");
    auto watchProc = watch ? reinterpret_cast<HOOKPROC>(
                                 reinterpret_cast<void*>(GetProcAddress(watch, "WatchMessage")))
                           : nullptr;
    auto sentProc = watch ? reinterpret_cast<HOOKPROC>(
                                reinterpret_cast<void*>(GetProcAddress(watch, "WatchSentMessage")))
                          : nullptr;
    if (!watchProc || !sentProc) {
        return nullptr;
    }
    sentMessageWatch = SetWindowsHookExW(WH_CALLWNDPROCRET, sentProc, watch, 0);
    return SetWindowsHookExW(WH_GETMESSAGE, watchProc, watch, 0);
}

inline void StopMessageWatch(HHOOK hook) {
    UnhookWindowsHookEx(hook);
    UnhookWindowsHookEx(sentMessageWatch);
}
