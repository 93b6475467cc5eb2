#pragma once
// A picture like a real capture, for size and speed figures and round trips: a photo-like
// fractal on the left, a page of text on the right and a menu bar on top.
#include <windows.h>

// A display-compatible bitmap, as a capture is; the same pixels on every run with the same
// fonts. The caller deletes it.
HBITMAP MakeRealisticPicture(int width, int height);
