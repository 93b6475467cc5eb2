#include "imaging/gdiplus_lifetime.h"

#include <cstdint>

#include "imaging/gdiplus_api.h"

namespace {

// Only the user-interface thread takes references, so plain values do.
uint32_t references = 0;
ULONG_PTR token = 0;

}  // namespace

GdiplusLifetime::GdiplusLifetime() {
    if (references == 0) {
        Gdiplus::GdiplusStartupInput input{};
        input.GdiplusVersion = 1;
        Gdiplus::GdiplusStartup(&token, &input, nullptr);
    }
    ++references;
}

GdiplusLifetime::~GdiplusLifetime() {
    if (--references == 0) {
        Gdiplus::GdiplusShutdown(token);
        token = 0;
    }
}
