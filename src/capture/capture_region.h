#pragma once
// The capture region as it is stored in "CaptureRegion", and the arithmetic of one capture:
// how long the session waits and what part of the frozen image a region can take.
#include <cstdint>

#include "tessel/string_core.h"
#include "win/rect.h"

// The pause before every grab, so that the menu or window that started the capture has gone.
inline constexpr uint32_t kCaptureSettleMs = 400;

// delay + 400 ms, held at the longest finite wait instead of wrapping round to a short one
// (or reaching the 0xFFFFFFFF that Sleep takes for "forever").
uint32_t GetCaptureWaitMs(uint32_t delayMs);

// "left,top,right,bottom": split at every comma, empty pieces dropped; anything but exactly four
// pieces gives 0,0,0,0, and a piece that is not a number gives 0 for that coordinate alone.
// The result is not checked against any screen: it may be empty, inverted or far away.
Rect ParseCaptureRegion(const char* text);

// The stored form, "%i,%i,%i,%i".
Tessel::String FormatCaptureRegion(const Rect& region);

// How a region is cut out of an image of the given size. The region may reach past the image,
// or lie wholly outside it, after a change of monitor layout: only the part inside is copied
// and the rest of the result is filled with black.
struct CropPlan {
    Size result;        // the size of the bitmap to make: the region's width and height
    Rect source;        // the part of the region inside the image, in image coordinates
    Point destination;  // where that part lands in the result
    bool copy;          // whether anything lies inside the image at all
    bool fill;          // whether part of the result lies outside the image
};

// False when the region is empty or too large for a bitmap (either side beyond 32 bits, or more
// pixels than a 32-bit bitmap of at most 2 GiB can hold).
bool PlanCrop(const Size& image, const Rect& region, CropPlan& plan);
