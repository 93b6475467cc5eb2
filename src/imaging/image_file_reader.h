#pragma once
// History files as the viewer shows them: PNGs of the kinds the program writes are read by its
// own reader (png_reader.h) straight into the DIB section that is painted; everything else, and
// any file that reader turns away, is decoded by GDI+ as before.
#include <windows.h>

#include "tessel/string_core.h"

// The image file decoded into an upright 32-bit or native DIB section, as the viewer
// paints it; nullptr when it cannot be read or decoded. Safe on any thread while a
// GdiplusLifetime is held somewhere in the process.
HBITMAP ReadImageFile(const Tessel::String& path);
