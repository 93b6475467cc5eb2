#include "app/rect.h"

#include <algorithm>

bool IsRectEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

void NormalizeRect(Rect& r) {
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
}

Rect UnionRect(const Rect& a, const Rect& b) {
    if (IsRectEmpty(a)) return IsRectEmpty(b) ? Rect{} : b;
    if (IsRectEmpty(b)) return a;
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}
