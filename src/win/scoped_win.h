#pragma once
// Holders that release a platform resource where it was made. Non-copyable (a copy would
// release twice), movable, and they test the handle before releasing it.
#include <windows.h>

#include <utility>

template <class T, class Releaser>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T value) : value(value) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    T Get() const { return value; }
    explicit operator bool() const { return value != T{}; }
    // Gives up ownership without releasing.
    T Release() { return std::exchange(value, T{}); }
    void Reset(T replacement = T{}) {
        T old = std::exchange(value, replacement);
        if (old != T{})
            Releaser{}(old);
    }

private:
    T value{};
};

struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DeleteDeviceContext {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct CloseKernelHandle {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct CloseRegistryKey {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
struct CloseFind {
    void operator()(HANDLE find) const { FindClose(find); }
};
struct DestroyIconHandle {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct DestroyMenuHandle {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};

template <class T>
using ScopedGdiObject = UniqueHandle<T, DeleteGdiObject>;
using ScopedBitmap = ScopedGdiObject<HBITMAP>;
// A DC made by CreateCompatibleDC, CreateDCW or CreateICW.
using ScopedDC = UniqueHandle<HDC, DeleteDeviceContext>;
using ScopedHandle = UniqueHandle<HANDLE, CloseKernelHandle>;
using ScopedKey = UniqueHandle<HKEY, CloseRegistryKey>;
using ScopedIcon = UniqueHandle<HICON, DestroyIconHandle>;
using ScopedMenu = UniqueHandle<HMENU, DestroyMenuHandle>;

// FindFirstFileW answers INVALID_HANDLE_VALUE, not null, when it finds nothing.
class ScopedFind {
public:
    explicit ScopedFind(HANDLE find) : find(find == INVALID_HANDLE_VALUE ? nullptr : find) {}
    HANDLE Get() const { return find.Get(); }
    explicit operator bool() const { return static_cast<bool>(find); }

private:
    UniqueHandle<HANDLE, CloseFind> find;
};

class ScopedMemDC : public ScopedDC {
public:
    explicit ScopedMemDC(HDC compatibleWith) : ScopedDC(CreateCompatibleDC(compatibleWith)) {}
};

// An information context of the display: enough to create compatible DCs and bitmaps and
// to read device capabilities.
class ScopedIC : public ScopedDC {
public:
    explicit ScopedIC(const wchar_t* driver)
        : ScopedDC(CreateICW(driver, nullptr, nullptr, nullptr)) {}
};

// A window's DC (GetDC, GetWindowDC or GetDCEx), given back with ReleaseDC on that window.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND window) : window(window), dc(GetDC(window)) {}
    ScopedWindowDC(HWND window, HDC dc) : window(window), dc(dc) {}
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    ScopedWindowDC(ScopedWindowDC&& other) noexcept
        : window(other.window), dc(std::exchange(other.dc, nullptr)) {}
    ScopedWindowDC& operator=(ScopedWindowDC&&) = delete;
    ~ScopedWindowDC() {
        if (dc)
            ReleaseDC(window, dc);
    }
    HDC Get() const { return dc; }

private:
    HWND window;
    HDC dc;
};

// Selects an object into a DC and puts the displaced one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ScopedSelect(ScopedSelect&& other) noexcept
        : dc(other.dc), previous(std::exchange(other.previous, nullptr)) {}
    ScopedSelect& operator=(ScopedSelect&&) = delete;
    ~ScopedSelect() {
        if (previous)
            SelectObject(dc, previous);
    }

private:
    HDC dc;
    HGDIOBJ previous;
};

// BeginPaint and EndPaint around one WM_PAINT.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : window(window) { dc = BeginPaint(window, &paint); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    ~ScopedPaint() { EndPaint(window, &paint); }
    HDC Get() const { return dc; }
    const RECT& UpdateRect() const { return paint.rcPaint; }

private:
    HWND window;
    PAINTSTRUCT paint{};
    HDC dc;
};
