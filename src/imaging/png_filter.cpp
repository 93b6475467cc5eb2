#include "imaging/png_filter.h"

#include <cstdlib>

namespace {

constexpr size_t kBytesPerPixel = 3;

enum Filter : uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

// A filtered byte's distance from zero, the usual measure of how well a row will compress.
inline uint32_t Cost(uint8_t filtered) {
    const int value = static_cast<int8_t>(filtered);
    return static_cast<uint32_t>(value < 0 ? -value : value);
}

// Written without branches so that the compiler can run it on many bytes at once.
inline int PaethPredictor(int a, int b, int c) {
    const int pa = std::abs(b - c);
    const int pb = std::abs(a - c);
    const int pc = std::abs(a + b - 2 * c);
    const int bOrC = pb <= pc ? b : c;
    return pa <= pb && pa <= pc ? a : bOrC;
}

template <Filter filter>
inline int Predict(int a, int b, int c) {
    if constexpr (filter == kSub) {
        return a;
    } else if constexpr (filter == kUp) {
        return b;
    } else if constexpr (filter == kAverage) {
        return (a + b) >> 1;
    } else {
        return PaethPredictor(a, b, c);
    }
}

// Filters `row` against `above` into out (filter byte first) and returns the row's cost, or
// stops early once it reaches `limit`, since the row then loses anyway.
template <Filter filter>
uint64_t FilterRow(const uint8_t* row, const uint8_t* above, size_t size, uint8_t* out,
                   uint64_t limit) {
    *out++ = filter;
    uint64_t cost = 0;
    // The first pixel has nothing to its left.
    for (size_t i = 0; i < kBytesPerPixel && i < size; ++i) {
        out[i] = static_cast<uint8_t>(row[i] - Predict<filter>(0, above[i], 0));
        cost += Cost(out[i]);
    }
    // Blocks long enough for the inner loop to run wide, short enough to stop early.
    constexpr size_t kBlock = 512;
    for (size_t start = kBytesPerPixel; start < size; start += kBlock) {
        const size_t end = size - start < kBlock ? size : start + kBlock;
        uint32_t blockCost = 0;
        for (size_t i = start; i < end; ++i) {
            const int predicted =
                Predict<filter>(row[i - kBytesPerPixel], above[i], above[i - kBytesPerPixel]);
            out[i] = static_cast<uint8_t>(row[i] - predicted);
            blockCost += Cost(out[i]);
        }
        cost += blockCost;
        if (cost >= limit) {
            break;
        }
    }
    return cost;
}

// Reads row y as RGB; false when the rows cannot hand it out.
bool ReadRgb(const PngPicture& picture, IPngRows* rows, uint32_t y, uint8_t* rgb) {
    const uint8_t* source = rows != nullptr ? rows->Row(y) : picture.pixels + y * picture.stride;
    if (source == nullptr) {
        return false;
    }
    for (uint32_t x = 0; x < picture.width; ++x, source += 4, rgb += 3) {
        rgb[0] = source[2];
        rgb[1] = source[1];
        rgb[2] = source[0];
    }
    return true;
}

// Two rows (this one and the one above) and four filtered rows, released on every way out.
struct RowBuffers {
    ~RowBuffers() { std::free(rows); }
    uint8_t* rows = nullptr;
};

}  // namespace

bool FilterRows(const PngPicture& picture, IPngRows* rows, uint32_t first, uint32_t end,
                DeflateStream& stream, const std::atomic<bool>& stop) {
    const size_t rowBytes = size_t{picture.width} * kBytesPerPixel;
    const size_t slot = rowBytes + 1;  // filter byte and row
    RowBuffers buffers;
    buffers.rows = static_cast<uint8_t*>(std::calloc(6, slot));
    if (buffers.rows == nullptr) {
        return false;
    }
    // Each slot holds a filter byte, then the row; the unfiltered row doubles as filter None.
    uint8_t* above = buffers.rows + 1;  // zeros for the band's first row, which Sub ignores
    uint8_t* current = buffers.rows + slot;
    uint8_t* filtered = buffers.rows + 2 * slot;
    for (uint32_t y = first; y < end; ++y) {
        if (stop.load(std::memory_order_relaxed) || !ReadRgb(picture, rows, y, current + 1)) {
            return false;
        }
        const uint8_t* best = current;
        uint64_t bestCost = 0;
        for (size_t i = 1; i <= rowBytes; ++i) {
            bestCost += Cost(current[i]);  // filter None: the row as it is
        }
        const auto consider = [&](uint64_t cost, const uint8_t* out) {
            if (cost < bestCost) {
                bestCost = cost;
                best = out;
            }
        };
        const uint8_t* row = current + 1;
        consider(FilterRow<kSub>(row, above, rowBytes, filtered, bestCost), filtered);
        if (y > first) {
            consider(FilterRow<kUp>(row, above, rowBytes, filtered + slot, bestCost),
                     filtered + slot);
            consider(FilterRow<kAverage>(row, above, rowBytes, filtered + 2 * slot, bestCost),
                     filtered + 2 * slot);
            consider(FilterRow<kPaeth>(row, above, rowBytes, filtered + 3 * slot, bestCost),
                     filtered + 3 * slot);
        }
        if (!stream.Write(best, slot)) {
            return false;
        }
        above = current + 1;
        current = current == buffers.rows + slot ? buffers.rows : buffers.rows + slot;
    }
    return true;
}
