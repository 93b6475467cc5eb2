#include "imaging/png_encoder.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "imaging/deflate_stream.h"

namespace {

constexpr size_t kBytesPerPixel = 3;
// Compressed data goes out in IDAT chunks of this size, so the encoder never holds the file.
constexpr size_t kChunkData = size_t{1} << 18;

enum Filter : uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

void PutBigEndian(uint8_t* out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value >> 24);
    out[1] = static_cast<uint8_t>(value >> 16);
    out[2] = static_cast<uint8_t>(value >> 8);
    out[3] = static_cast<uint8_t>(value);
}

// One chunk whose data already sits at block + 8, with room for the CRC behind it.
bool WriteChunk(IByteSink& sink, uint8_t* block, const char* type, size_t size) {
    PutBigEndian(block, static_cast<uint32_t>(size));
    std::memcpy(block + 4, type, 4);
    const uLong crc = crc32(0, block + 4, static_cast<uInt>(size + 4));
    PutBigEndian(block + 8 + size, static_cast<uint32_t>(crc));
    return sink.Write(block, size + 12);
}

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

// Gathers the compressed stream into IDAT chunks.
class IdatWriter : public IByteSink {
public:
    IdatWriter(IByteSink& sink, uint8_t* chunk) : sink(sink), chunk(chunk) {}

    bool Write(const uint8_t* data, size_t size) override {
        while (size != 0) {
            const size_t piece = std::min(size, kChunkData - used);
            std::memcpy(chunk + 8 + used, data, piece);
            used += piece;
            data += piece;
            size -= piece;
            if (used == kChunkData && !Flush()) {
                return false;
            }
        }
        return true;
    }

    // Sends what is gathered as one chunk, if anything is.
    bool Flush() {
        const size_t size = used;
        used = 0;
        return size == 0 || WriteChunk(sink, chunk, "IDAT", size);
    }

private:
    IByteSink& sink;
    uint8_t* chunk;  // length, type, data, CRC
    size_t used = 0;
};

// The buffers of one encoding, released on every way out.
struct Buffers {
    ~Buffers() {
        std::free(rows);
        std::free(chunk);
    }

    uint8_t* rows = nullptr;   // two rows (this one and the one above), four filtered rows
    uint8_t* chunk = nullptr;  // one IDAT chunk
};

bool WriteHeader(const PngPicture& picture, IByteSink& sink) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!sink.Write(kSignature, sizeof(kSignature))) {
        return false;
    }
    uint8_t header[8 + 13 + 4] = {};
    PutBigEndian(header + 8, picture.width);
    PutBigEndian(header + 12, picture.height);
    header[16] = 8;  // bits per sample
    header[17] = 2;  // colour type: RGB
    // Compression, filter method and interlacing stay 0.
    if (!WriteChunk(sink, header, "IHDR", 13)) {
        return false;
    }
    if (picture.dpi == 0) {
        return true;
    }
    uint8_t physical[8 + 9 + 4] = {};
    const uint32_t perMetre = static_cast<uint32_t>(picture.dpi / 0.0254 + 0.5);
    PutBigEndian(physical + 8, perMetre);
    PutBigEndian(physical + 12, perMetre);
    physical[16] = 1;  // the unit is the metre
    return WriteChunk(sink, physical, "pHYs", 9);
}

}  // namespace

bool EncodePng(const PngPicture& picture, IByteSink& sink) {
    // PNG's own limit on both sides; a row, with its filter byte, also fits a 32-bit count.
    constexpr uint32_t kLargest = 0x7FFFFFFF;
    constexpr uint32_t kWidest = (0xFFFFFFFFu - 1) / kBytesPerPixel;
    if ((picture.pixels == nullptr && picture.rows == nullptr) || picture.width == 0 ||
        picture.height == 0 || picture.width > kWidest || picture.height > kLargest ||
        (picture.rows == nullptr && picture.stride < size_t{picture.width} * 4)) {
        return false;
    }
    const size_t rowBytes = size_t{picture.width} * kBytesPerPixel;
    const size_t slot = rowBytes + 1;  // filter byte and row
    Buffers buffers;
    buffers.rows = static_cast<uint8_t*>(std::calloc(6, slot));
    buffers.chunk = static_cast<uint8_t*>(std::malloc(kChunkData + 12));
    if (buffers.rows == nullptr || buffers.chunk == nullptr) {
        return false;
    }
    IdatWriter idat(sink, buffers.chunk);
    DeflateStream stream(idat);
    if (!WriteHeader(picture, sink) || !stream.Start()) {
        return false;
    }

    // Each slot holds a filter byte, then the row; the unfiltered row doubles as filter None.
    uint8_t* above = buffers.rows + 1;  // zeros for the first row
    uint8_t* current = buffers.rows + slot;
    uint8_t* filtered = buffers.rows + 2 * slot;
    for (uint32_t y = 0; y < picture.height; ++y) {
        const uint8_t* source =
            picture.rows != nullptr ? picture.rows->Row(y) : picture.pixels + y * picture.stride;
        if (source == nullptr) {
            return false;
        }
        uint8_t* rgb = current + 1;
        for (uint32_t x = 0; x < picture.width; ++x, source += 4, rgb += 3) {
            rgb[0] = source[2];
            rgb[1] = source[1];
            rgb[2] = source[0];
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
        consider(FilterRow<kUp>(row, above, rowBytes, filtered + slot, bestCost), filtered + slot);
        consider(FilterRow<kAverage>(row, above, rowBytes, filtered + 2 * slot, bestCost),
                 filtered + 2 * slot);
        consider(FilterRow<kPaeth>(row, above, rowBytes, filtered + 3 * slot, bestCost),
                 filtered + 3 * slot);
        if (!stream.Write(best, slot)) {
            return false;
        }
        above = current + 1;
        current = current == buffers.rows + slot ? buffers.rows : buffers.rows + slot;
    }
    if (!stream.Finish() || !idat.Flush()) {
        return false;
    }
    uint8_t end[12];
    return WriteChunk(sink, end, "IEND", 0);
}
