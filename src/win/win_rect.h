#pragma once
// Conversions between the portable geometry and the platform's structures.
#include <windows.h>

#include "win/rect.h"

inline RECT ToRECT(const Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}
inline Rect ToRect(const RECT& r) {
    return Rect{static_cast<int32_t>(r.left), static_cast<int32_t>(r.top),
                static_cast<int32_t>(r.right), static_cast<int32_t>(r.bottom)};
}
inline POINT ToPOINT(const Point& p) {
    return POINT{p.x, p.y};
}
inline Point ToPoint(const POINT& p) {
    return Point{static_cast<int32_t>(p.x), static_cast<int32_t>(p.y)};
}
