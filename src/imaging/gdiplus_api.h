#pragma once
// The GDI+ flat API. The SDK's C++ wrappers inside <gdiplus.h> use the min and max macros,
// which NOMINMAX removes, so they get the standard ones instead.
#include <windows.h>

#include <algorithm>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>
