#include "imaging/scaled_size.h"

#include <cmath>

int32_t ScaleLength(int32_t length, double factor) {
    const double scaled = std::round(static_cast<double>(length) * factor);
    // Converting an out-of-range double to an integer is undefined, so clamp first.
    if (!(scaled >= static_cast<double>(INT32_MIN))) {
        return std::isnan(scaled) ? 0 : INT32_MIN;
    }
    if (scaled > static_cast<double>(INT32_MAX)) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(scaled);
}
