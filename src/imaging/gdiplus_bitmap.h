#pragma once
// A GDI+ bitmap owned by the program, with the status of the last GDI+ call made through it.
#include <cstddef>

#include "imaging/gdiplus_api.h"
#include "tessel/string_core.h"

class GdiplusBitmap {
public:
    GdiplusBitmap() = default;
    ~GdiplusBitmap();
    GdiplusBitmap(const GdiplusBitmap&) = delete;
    GdiplusBitmap& operator=(const GdiplusBitmap&) = delete;

    // Objects live on GDI+'s own heap; a failed allocation gives nullptr, not an exception.
    static void* operator new(size_t size) noexcept;
    static void operator delete(void* block) noexcept;

    // Each replaces the native image by a new one; the native image stays none when the call
    // fails, and Status() tells why.
    void CreateFromHBITMAP(HBITMAP bitmap);
    void CreateFromFile(const Tessel::String& path);

    // None when no image could be made.
    Gdiplus::GpBitmap* Native() const { return native; }
    Gdiplus::GpStatus Status() const { return status; }

    // Keeps the outcome of a call made on Native() and passes it on.
    Gdiplus::GpStatus Record(Gdiplus::GpStatus result) const {
        status = result;
        return result;
    }

private:
    void Dispose();

    Gdiplus::GpBitmap* native = nullptr;
    // Bookkeeping only: reading the image through a const object still records its calls.
    mutable Gdiplus::GpStatus status = Gdiplus::Ok;
};
