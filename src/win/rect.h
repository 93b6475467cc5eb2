#pragma once
// Plain geometry shared by the portable rules; the same layout as the platform's POINT,
// SIZE and RECT, so the Win32 glue converts by copying fields.
#include <cstdint>

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    int32_t cx = 0;
    int32_t cy = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const Rect&) const = default;
};

// Geometry sums are made in 64 bits and brought back into range, so that no coordinate
// arithmetic can overflow.
int32_t SaturateInt32(int64_t value);

// Empty when it covers no pixel: right <= left or bottom <= top.
bool IsRectEmpty(const Rect& r);

// Swaps the coordinates so that left <= right and top <= bottom.
void NormalizeRect(Rect& r);

// The smallest rectangle holding both; an empty rectangle adds nothing.
Rect UnionRect(const Rect& a, const Rect& b);
