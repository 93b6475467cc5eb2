#pragma once
// A real top-level window for tests: it records every message it receives and lets a test
// answer any of them.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "win/window_impl.h"

class CProbeWindow : public CWindowImpl<CProbeWindow> {
public:
    // Sees every message first, with handled true; set it false to pass the message on to
    // DefWindowProcW.
    std::function<LRESULT(UINT, WPARAM, LPARAM, bool&)> handler;
    std::vector<UINT> received;

    HWND CreatePopup(const RECT& rect, DWORD style = WS_POPUP, HWND owner = nullptr) {
        return Create(owner, rect, L"Probe", style, WS_EX_TOOLWINDOW);
    }
    int Count(UINT message) const {
        return static_cast<int>(std::count(received.begin(), received.end(), message));
    }

    BEGIN_MSG_MAP(CProbeWindow)
    MESSAGE_RANGE_HANDLER(0x0001, 0xFFFE, OnMessage)
    END_MSG_MAP()

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
        received.push_back(message);
        handled = static_cast<bool>(handler);
        return handler ? handler(message, wParam, lParam, handled) : 0;
    }
};
