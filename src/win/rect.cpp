#include "win/rect.h"

#include <algorithm>

int32_t SaturateInt32(int64_t value) {
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

bool IsRectEmpty(const Rect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

void NormalizeRect(Rect& r) {
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
}

Rect UnionRect(const Rect& a, const Rect& b) {
    if (IsRectEmpty(a))
        return IsRectEmpty(b) ? Rect{} : b;
    if (IsRectEmpty(b))
        return a;
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}
