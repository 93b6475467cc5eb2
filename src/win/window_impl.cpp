#include "win/window_impl.h"

#include <cwchar>

namespace {
// The object whose window is being created on this thread: the first message of the new
// window binds the two.
thread_local CWindowBase* creatingWindow = nullptr;
}  // namespace

CWindowBase::~CWindowBase() {
    if (hwnd && IsWindow(hwnd)) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));
        DestroyWindow(hwnd);
    }
}

WNDPROC CWindowBase::GetWindowProc() {
    return &WindowProc;
}

void CWindowBase::OnFinalMessage(HWND) {}

ATOM CWindowBase::RegisterWindowClass(UINT style, int background, int cursorId, const void* id) {
    wchar_t name[64];
    swprintf(name, sizeof name / sizeof name[0], L"Glimpser:%p", id);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = &StartWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = cursorId ? LoadCursorW(nullptr, MAKEINTRESOURCEW(cursorId)) : nullptr;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background));
    windowClass.lpszClassName = name;
    return RegisterClassExW(&windowClass);
}

HWND CWindowBase::CreateWithClass(ATOM windowClass, HWND parent, const RECT& rect,
                                  const wchar_t* title, DWORD style, DWORD exStyle, HMENU menu) {
    if (!windowClass)
        return nullptr;
    creatingWindow = this;
    HWND created = CreateWindowExW(exStyle, MAKEINTATOM(windowClass), title, style, rect.left,
                                   rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                   menu, GetModuleHandleW(nullptr), nullptr);
    creatingWindow = nullptr;
    return created;
}

LRESULT CALLBACK CWindowBase::StartWindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    CWindowBase* self = creatingWindow;
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    creatingWindow = nullptr;
    self->hwnd = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    WNDPROC proc = self->GetWindowProc();
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    return proc(window, message, wParam, lParam);
}

LRESULT CALLBACK CWindowBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CWindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    if (!self->ProcessWindowMessage(window, message, wParam, lParam, result))
        result = DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd = nullptr;
        self->OnFinalMessage(window);
    }
    return result;
}
