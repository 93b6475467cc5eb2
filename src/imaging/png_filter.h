#pragma once
// The PNG row filters: each row goes out as whichever of the five filters leaves bytes nearest
// zero, the usual guess at what compresses best.
#include <atomic>
#include <cstdint>

#include "imaging/deflate_stream.h"
#include "imaging/png_encoder.h"

// Filters rows [first, end) of the picture into `stream`, reading them from `rows` unless the
// picture's pixels are held whole. The first row is filtered without the row above it (None or
// Sub), so that a reader can unfilter the band without the one above.
// False when a row is missing, memory runs out, the stream fails, or `stop` is set by another
// part of the same encoding.
bool FilterRows(const PngPicture& picture, IPngRows* rows, uint32_t first, uint32_t end,
                DeflateStream& stream, const std::atomic<bool>& stop);
