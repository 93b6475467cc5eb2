#pragma once
// Reading a history or other image file into the bitmap the viewer shows.
#include <windows.h>

#include "tessel/string_core.h"

// The image file decoded into an upright 32-bit or native DIB section, as the viewer
// paints it; nullptr when it cannot be read or decoded. Safe on any thread while a
// GdiplusLifetime is held somewhere in the process.
HBITMAP ReadImageFile(const Tessel::String& path);
