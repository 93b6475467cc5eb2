#pragma once
// Sizes of scaled copies of an image.
#include <cstdint>

// length × factor rounded to the nearest whole pixel, halves away from zero; kept inside the
// 32-bit range (a NaN factor gives 0).
int32_t ScaleLength(int32_t length, double factor);
