#pragma once
// Between GDI bitmaps, GDI+ bitmaps and the display. Callers hold a GdiplusLifetime while they
// use the GDI+ ones. Every returned handle and object belongs to the caller.
#include <windows.h>

#include <cstdint>

#include "imaging/gdiplus_bitmap.h"
#include "tessel/owned_ptr.h"
#include "tessel/string_core.h"

// A GDI+ copy of the bitmap; none only when the object cannot be allocated. When GDI+ cannot
// read the bitmap the object has no native image and its status says why.
Tessel::OwnedPtr<GdiplusBitmap> WrapBitmapForGdiplus(HBITMAP bitmap);

// The decoded image file, with the same rules as WrapBitmapForGdiplus.
Tessel::OwnedPtr<GdiplusBitmap> LoadBitmapForGdiplus(const Tessel::String& path);

// An upright (bottom-up) DIB section with the image's own bit depth, palette and alpha bytes.
// None for no image, a pixel format a DIB cannot hold as is (16-bit channels, 565, premultiplied
// alpha, grey scales...), or an image that cannot be allocated or read.
HBITMAP BitmapFromGdiplus(const GdiplusBitmap* bitmap);

// A new display-compatible bitmap of the source's size times factor (halves rounded away
// from zero); an exact copy at 1.0. The source is left as it is.
HBITMAP CopyBitmapScaled(HBITMAP bitmap, double factor);

// The header of a 32-bit BI_RGB DIB (blue, green, red, one unused byte); a negative height
// makes its rows top-down.
BITMAPINFO Make32BitDibInfo(int32_t width, int32_t height);

// The display's logical DPI, read on the first call and kept for the life of the process.
uint32_t GetScreenDpi();

// The whole desktop over all monitors less the primary's taskbar where it lies on the outer edge.
void GetDesktopWorkArea(RECT* area);

// An icon resource of this module at the system's large or small icon size.
HICON LoadIconAtSize(uint16_t id, bool large);
