#include "win/modal_loop.h"

namespace {

constexpr wchar_t kStateProperty[] = L"rml_info";

struct ModalLoopState {
    HWND owner = nullptr;
    HWND disabledOwner = nullptr;
    int result = 0;
    bool done = false;
    ModalLoopState* previous = nullptr;
};

ModalLoopState* GetState(HWND window) {
    return static_cast<ModalLoopState*>(GetPropW(window, kStateProperty));
}

void RestoreState(HWND window, ModalLoopState* previous) {
    if (previous != nullptr) {
        SetPropW(window, kStateProperty, previous);
    } else {
        RemovePropW(window, kStateProperty);
    }
}

bool HasStyle(HWND window, LONG_PTR style) {
    return (GetWindowLongPtrW(window, GWL_STYLE) & style) != 0;
}

// The window that really owns a modal window is the first one up the chain
// that is not a child: disabling a child would leave its frame usable.
HWND FindTopLevelOwner(HWND owner) {
    while (owner != nullptr && HasStyle(owner, WS_CHILD)) {
        owner = GetParent(owner);
    }
    return owner;
}

void ReenableOwner(const ModalLoopState& state) {
    if (state.disabledOwner != nullptr) {
        EnableWindow(state.disabledOwner, TRUE);
    }
}

void TranslateAndDispatch(HWND window, MSG& message) {
    const LRESULT answer =
        SendMessageW(window, WM_MODAL_PRETRANSLATE, 0, reinterpret_cast<LPARAM>(&message));
    if (answer == 1) {
        return;
    }
    if (answer == 0 && IsDialogMessageW(window, &message)) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

}  // namespace

int RunModalLoop(HWND owner, HWND window) {
    if (window == nullptr) {
        return 0;
    }
    if (HWND captured = GetCapture()) {
        SendMessageW(captured, WM_CANCELMODE, 0, 0);
    }
    ModalLoopState state;
    state.previous = GetState(window);
    if (state.previous == nullptr) {
        if (!IsWindowVisible(window)) {
            ShowWindow(window, SW_SHOWNORMAL);
        }
        state.owner = FindTopLevelOwner(owner);
        if (state.owner != nullptr && !HasStyle(state.owner, WS_DISABLED)) {
            EnableWindow(state.owner, FALSE);
            state.disabledOwner = state.owner;
        }
    } else {
        state.owner = state.previous->owner;
    }
    SetPropW(window, kStateProperty, &state);

    MSG message;
    for (;;) {
        if (state.done) {
            RestoreState(window, state.previous);
            return state.result;
        }
        while (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            SendMessageW(window, WM_MODAL_IDLE, 0, 0);
            WaitMessage();
        }
        if (message.message == WM_QUIT) {
            // Every enclosing loop has to see the quit as well.
            PostQuitMessage(static_cast<int>(message.wParam));
            ReenableOwner(state);
            RestoreState(window, state.previous);
            return 0;
        }
        TranslateAndDispatch(window, message);
        if (!state.done && !IsWindow(window)) {
            // Nothing can end a loop whose window is gone; give up instead of
            // waiting forever with the owner disabled.
            ReenableOwner(state);
            return 0;
        }
    }
}

void EndModalLoop(HWND window, int result) {
    ModalLoopState* state = GetState(window);
    if (state == nullptr) {
        return;
    }
    if (state->previous == nullptr) {
        ReenableOwner(*state);
        if (state->owner != nullptr) {
            SetActiveWindow(state->owner);
        }
        ShowWindow(window, SW_HIDE);
    }
    state->result = result;
    state->done = true;
}
