#pragma once
// The program's small window framework: one C++ object per window, its messages routed to a
// message map, one table from message to handler. Unlisted messages go to DefWindowProcW.
//
//   class CCapture : public CWindowImpl<CCapture> {
//       BEGIN_MSG_MAP(CCapture)
//       MESSAGE_HANDLER(WM_PAINT, OnPaint)
//       COMMAND_ID_HANDLER(32772, OnCommandCopy)
//       END_MSG_MAP()
//
//       MessageHandler OnPaint;        // LRESULT OnPaint(UINT, WPARAM, LPARAM, bool& handled)
//       CommandHandler OnCommandCopy;  // LRESULT OnCommandCopy(WORD code, WORD id, HWND, bool&)
//   };
//
// A handler leaves `handled` true to answer the message itself, or sets it false to pass the
// message on to the default window procedure after it. A derived class may redeclare
// kClassStyle, kBackground (a COLOR_* index + 1) and kCursorId (an IDC_* number, 0 for none).
#include <windows.h>

// The two handler signatures of a message map; a window class declares its handlers with them.
using MessageHandler = LRESULT(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
using CommandHandler = LRESULT(WORD code, WORD id, HWND control, bool& handled);

class CWindowBase {
public:
    CWindowBase() = default;
    CWindowBase(const CWindowBase&) = delete;
    CWindowBase& operator=(const CWindowBase&) = delete;

    virtual BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) = 0;
    // A window still alive when its object goes is detached first, so that none of its last
    // messages reaches a half-destroyed object.
    virtual ~CWindowBase();
    virtual WNDPROC GetWindowProc();
    // Called after WM_NCDESTROY, when the handle is gone.
    virtual void OnFinalMessage(HWND window);

    HWND hwnd = nullptr;

    static constexpr UINT kClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    static constexpr int kBackground = COLOR_WINDOW + 1;
    static constexpr int kCursorId = 32512;  // IDC_ARROW

protected:
    HWND CreateWithClass(ATOM windowClass, HWND parent, const RECT& rect, const wchar_t* title,
                         DWORD style, DWORD exStyle, HMENU menu);
    static ATOM RegisterWindowClass(UINT style, int background, int cursorId, const void* id);

private:
    static LRESULT CALLBACK StartWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

template <class T>
class CWindowImpl : public CWindowBase {
public:
    // Registers the class on first use, under a name generated from the class's identity.
    HWND Create(HWND parent, const RECT& rect, const wchar_t* title, DWORD style, DWORD exStyle,
                HMENU menu = nullptr) {
        return CreateWithClass(WindowClass(), parent, rect, title, style, exStyle, menu);
    }

private:
    static ATOM WindowClass() {
        static const ATOM atom =
            RegisterWindowClass(T::kClassStyle, T::kBackground, T::kCursorId, &atom);
        return atom;
    }
};

#define BEGIN_MSG_MAP(theClass)                                                        \
public:                                                                                \
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, \
                              LRESULT& result) override {                              \
        (void)window;                                                                  \
        bool handled = true;

#define MESSAGE_HANDLER(msg, func)                       \
    if (message == (msg)) {                              \
        handled = true;                                  \
        result = func(message, wParam, lParam, handled); \
        if (handled)                                     \
            return TRUE;                                 \
    }

#define MESSAGE_RANGE_HANDLER(first, last, func)         \
    if (message >= (first) && message <= (last)) {       \
        handled = true;                                  \
        result = func(message, wParam, lParam, handled); \
        if (handled)                                     \
            return TRUE;                                 \
    }

#define COMMAND_ID_HANDLER(id, func)                                                            \
    if (message == WM_COMMAND && LOWORD(wParam) == (id)) {                                      \
        handled = true;                                                                         \
        result = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), handled); \
        if (handled)                                                                            \
            return TRUE;                                                                        \
    }

#define COMMAND_RANGE_HANDLER(first, last, func)                                                \
    if (message == WM_COMMAND && LOWORD(wParam) >= (first) && LOWORD(wParam) <= (last)) {       \
        handled = true;                                                                         \
        result = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), handled); \
        if (handled)                                                                            \
            return TRUE;                                                                        \
    }

#define END_MSG_MAP() \
    return FALSE;     \
    }
