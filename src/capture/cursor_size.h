#pragma once
// The size and hot spot at which a recorded mouse pointer is drawn into the frozen image.
#include <cstdint>

#include "win/rect.h"

// The pointer-size preference "CursorBaseSize" as the system honours it: a value that could not
// be read, or one outside 32 to 256, counts as 32.
inline constexpr int32_t kDefaultCursorBaseSize = 32;
int32_t ClampCursorBaseSize(bool found, uint32_t value);

// a × b ÷ c through a 64-bit product, rounded to the nearest integer with halves away from
// zero; -1 when c is 0 or the quotient leaves the 32-bit range. The same answers as the
// platform's MulDiv, so the rules below compute exactly what the system would.
int32_t MulDivRound(int32_t a, int32_t b, int32_t c);

struct CursorShape {
    int32_t width;
    int32_t height;
    int32_t hotX;
    int32_t hotY;
};

// bitmap: the cursor image's own size (both at least 1); hotSpot: its hot spot in that image.
// A shared cursor is drawn as wide as the system draws pointers on the monitor under it,
// baseSize × metricSize ÷ 32, keeping the image's aspect ratio; any other cursor keeps its own
// size. The hot spot is scaled by the same factors. A metricSize that gives no width at all (a
// failed query) keeps the image's own size rather than drawing nothing at a wrong hot spot.
CursorShape ScaleCursorShape(const Size& bitmap, const Point& hotSpot, bool shared,
                             int32_t baseSize, int32_t metricSize);
