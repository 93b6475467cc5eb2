#include "imaging/gdiplus_bitmap.h"

#include "win/win_text.h"

using namespace Gdiplus;

GdiplusBitmap::~GdiplusBitmap() {
    Dispose();
}

void* GdiplusBitmap::operator new(size_t size) noexcept {
    return DllExports::GdipAlloc(size);
}

void GdiplusBitmap::operator delete(void* block) noexcept {
    DllExports::GdipFree(block);
}

void GdiplusBitmap::CreateFromHBITMAP(HBITMAP bitmap) {
    Dispose();
    GpBitmap* created = nullptr;
    // A failed call promises nothing about its out value.
    native = Record(DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &created)) == Ok
                 ? created
                 : nullptr;
}

void GdiplusBitmap::CreateFromFile(const Tessel::String& path) {
    Dispose();
    GpBitmap* created = nullptr;
    native = Record(DllExports::GdipCreateBitmapFromFile(WStr(ToWide(path)), &created)) == Ok
                 ? created
                 : nullptr;
}

void GdiplusBitmap::Dispose() {
    if (native != nullptr) {
        DllExports::GdipDisposeImage(native);
        native = nullptr;
    }
}
