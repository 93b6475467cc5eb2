#include "imaging/image_file_reader.h"

#include "imaging/bitmap_utils.h"
#include "imaging/gdiplus_bitmap.h"

HBITMAP ReadImageFile(const Tessel::String& path) {
    Tessel::OwnedPtr<GdiplusBitmap> file = LoadBitmapForGdiplus(path);
    return file ? BitmapFromGdiplus(file.Get()) : nullptr;
}
