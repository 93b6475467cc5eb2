#pragma once
// Pixels of GDI bitmaps for tests that compare pictures.
#include <windows.h>

#include <cstdint>
#include <vector>

// Every pixel of the bitmap as 0x00RRGGBB, top-down, row after row.
std::vector<uint32_t> BitmapPixels(HBITMAP bitmap);

// The bitmap's size in pixels.
SIZE BitmapSize(HBITMAP bitmap);

// A 32-bit top-down DIB section with every pixel, fourth byte and all, given by pixel.
HBITMAP MakeDibSection(int width, int height, uint32_t (*pixel)(int x, int y));

// A display-compatible bitmap filled with one colour, as a capture of a flat area is.
HBITMAP MakeSolidBitmap(int width, int height, COLORREF color);
