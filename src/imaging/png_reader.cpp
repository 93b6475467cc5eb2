#include "imaging/png_reader.h"

// zlib then takes the file's bytes as const.
#define ZLIB_CONST
#include <emmintrin.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "imaging/worker_thread.h"

namespace {

constexpr uint32_t ChunkType(const char (&name)[5]) {
    return uint32_t{static_cast<uint8_t>(name[0])} << 24 |
           uint32_t{static_cast<uint8_t>(name[1])} << 16 |
           uint32_t{static_cast<uint8_t>(name[2])} << 8 | uint32_t{static_cast<uint8_t>(name[3])};
}

constexpr uint32_t kHeader = ChunkType("IHDR");
constexpr uint32_t kData = ChunkType("IDAT");
constexpr uint32_t kEnd = ChunkType("IEND");
constexpr uint32_t kTransparency = ChunkType("tRNS");
constexpr uint32_t kGamma = ChunkType("gAMA");
constexpr uint32_t kBandIndex = ChunkType("bdIX");
// sRGB's own gamma, which every decoder assumes for a file without one.
constexpr uint32_t kSrgbGamma = 45455;
// Deflate codes at most 258 bytes in a bit or two; more rows than this many times the stored
// bytes cannot be in the file.
constexpr uint64_t kMostInflation = 1032;
// Rows are inflated this many bytes at a time, so that they are still in the cache when they
// are unfiltered.
constexpr size_t kBatchBytes = size_t{1} << 16;
// A pixel is read as four bytes, which at the end of the batch reach past its last row.
constexpr size_t kReadSlack = 4;

uint32_t BigEndian(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

uint32_t Load32(const uint8_t* p) {
    uint32_t value;
    std::memcpy(&value, p, sizeof(value));
    return value;
}

void Store32(uint8_t* p, uint32_t value) {
    std::memcpy(p, &value, sizeof(value));
}

// Compilers turn both into single instructions.
uint32_t SwapBytes(uint32_t v) {
    return v >> 24 | (v >> 8 & 0xFF00) | (v << 8 & 0xFF0000) | v << 24;
}

uint32_t RotateRight8(uint32_t v) {
    return v >> 8 | v << 24;
}

// A chunk of the file: its frame lies within the file, its data may not have been checked.
struct Chunk {
    uint32_t type = 0;
    const uint8_t* data = nullptr;
    uint32_t length = 0;
};

// The chunk at `*at`, which is moved past it; false when the file ends inside its frame.
bool NextChunk(const uint8_t* file, size_t size, size_t* at, Chunk* chunk) {
    if (size - *at < 12) {
        return false;
    }
    const uint32_t length = BigEndian(file + *at);
    if (length > 0x7FFFFFFF || length > size - *at - 12) {
        return false;
    }
    chunk->length = length;
    chunk->type = BigEndian(file + *at + 4);
    chunk->data = file + *at + 8;
    *at += size_t{length} + 12;
    return true;
}

bool CheckSumHolds(const Chunk& chunk) {
    const uLong crc = crc32(0, chunk.data - 4, chunk.length + 4);
    return crc == BigEndian(chunk.data + chunk.length);
}

bool IsCritical(uint32_t type) {
    return (type & 0x20000000) == 0;
}

// The pixel's samples, placed where a 32-bit DIB keeps them (blue in the low byte, alpha in the
// high one; grey where blue goes), so that the filters work on whole pixels at once. `Lanes` are
// the bytes a pixel of the kind fills.
template <uint32_t kChannels>
struct Samples;

template <>
struct Samples<1> {
    static constexpr uint32_t kLanes = 0x000000FF;
    static uint32_t Pack(const uint8_t* p) { return p[0]; }
    static uint32_t Expand(uint32_t v) { return v * 0x010101 | 0xFF000000; }
};

template <>
struct Samples<2> {
    static constexpr uint32_t kLanes = 0xFF0000FF;
    static uint32_t Pack(const uint8_t* p) { return p[0] | uint32_t{p[1]} << 24; }
    static uint32_t Expand(uint32_t v) { return v | (v & 0xFF) * 0x010100; }
};

template <>
struct Samples<3> {
    static constexpr uint32_t kLanes = 0x00FFFFFF;
    // Red, green, blue and the next byte, turned around: the order GDI keeps.
    static uint32_t Pack(const uint8_t* p) { return SwapBytes(Load32(p)) >> 8; }
    static uint32_t Expand(uint32_t v) { return v | 0xFF000000; }
};

template <>
struct Samples<4> {
    static constexpr uint32_t kLanes = 0xFFFFFFFF;
    static uint32_t Pack(const uint8_t* p) { return RotateRight8(SwapBytes(Load32(p))); }
    static uint32_t Expand(uint32_t v) { return v; }
};

// Byte by byte, modulo 256, with no carry from one byte into the next.
uint32_t AddBytes(uint32_t x, uint32_t y) {
    return ((x & 0x7F7F7F7F) + (y & 0x7F7F7F7F)) ^ ((x ^ y) & 0x80808080);
}

// Byte by byte, rounded down.
uint32_t AverageBytes(uint32_t x, uint32_t y) {
    return (x & y) + (((x ^ y) & 0xFEFEFEFE) >> 1);
}

// The Paeth predictor of all four bytes at once, in 16-bit lanes: a pixel's predictor waits for
// its left neighbour, so the bytes of one pixel are all the work there is to share.
uint32_t PaethBytes(uint32_t left, uint32_t up, uint32_t upLeft) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i a = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(left)), zero);
    const __m128i b = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(up)), zero);
    const __m128i c = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(upLeft)), zero);
    const __m128i bc = _mm_sub_epi16(b, c);
    const __m128i ac = _mm_sub_epi16(a, c);
    const __m128i abc = _mm_add_epi16(ac, bc);
    const __m128i pa = _mm_max_epi16(bc, _mm_sub_epi16(zero, bc));
    const __m128i pb = _mm_max_epi16(ac, _mm_sub_epi16(zero, ac));
    const __m128i pc = _mm_max_epi16(abc, _mm_sub_epi16(zero, abc));
    const __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
    const __m128i useC = _mm_cmpgt_epi16(pb, pc);
    const __m128i bOrC = _mm_or_si128(_mm_and_si128(useC, c), _mm_andnot_si128(useC, b));
    const __m128i chosen = _mm_or_si128(_mm_and_si128(notA, bOrC), _mm_andnot_si128(notA, a));
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(chosen, chosen)));
}

enum Filter : uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };

// One row's filtered samples into 32-bit pixels, against the row above it (zeros at the top).
template <uint32_t kChannels, Filter kFilter>
void UnfilterRow(const uint8_t* in, uint32_t width, const uint8_t* above, uint8_t* out) {
    using S = Samples<kChannels>;
    uint32_t left = 0;
    uint32_t upLeft = 0;
    for (uint32_t x = 0; x < width; ++x) {
        const uint32_t raw = S::Pack(in + size_t{x} * kChannels);
        const uint32_t up = Load32(above + size_t{x} * 4) & S::kLanes;
        uint32_t value = raw;
        if constexpr (kFilter == kSub) {
            value = AddBytes(raw, left);
        } else if constexpr (kFilter == kUp) {
            value = AddBytes(raw, up);
        } else if constexpr (kFilter == kAverage) {
            value = AddBytes(raw, AverageBytes(left, up));
        } else if constexpr (kFilter == kPaeth) {
            value = AddBytes(raw, PaethBytes(left, up, upLeft));
        }
        Store32(out + size_t{x} * 4, S::Expand(value));
        left = value;
        upLeft = up;
    }
}

using RowUnfilter = void (*)(const uint8_t* in, uint32_t width, const uint8_t* above, uint8_t* out);

template <uint32_t kChannels>
constexpr RowUnfilter kUnfilters[5] = {
    UnfilterRow<kChannels, kNone>, UnfilterRow<kChannels, kSub>, UnfilterRow<kChannels, kUp>,
    UnfilterRow<kChannels, kAverage>, UnfilterRow<kChannels, kPaeth>};

// By the number of channels less one, then by filter type.
constexpr const RowUnfilter* kUnfiltersByKind[4] = {kUnfilters<1>, kUnfilters<2>, kUnfilters<3>,
                                                    kUnfilters<4>};

// Hands the image data of the file, chunk after chunk, to zlib: all of it, or the bytes from
// `begin` to `end` of it.
class DataFeed {
public:
    DataFeed(const uint8_t* file, size_t size, uint64_t begin = 0, uint64_t end = UINT64_MAX)
        : file(file), size(size), begin(begin), end(end) {}

    // Gives the stream the next piece of image data; false when there is none.
    bool Refill(z_stream& stream) {
        Chunk chunk;
        while (NextChunk(file, size, &at, &chunk)) {
            if (chunk.type != kData) {
                if (seen) {
                    return false;  // the run of image data is over
                }
                continue;
            }
            seen = true;
            const uint64_t start = offset;
            offset += chunk.length;
            const uint64_t from = std::max(start, begin);
            const uint64_t to = std::min(offset, end);
            if (from < to) {
                stream.next_in = chunk.data + (from - start);
                stream.avail_in = static_cast<uInt>(to - from);
                return true;
            }
            if (offset >= end) {
                return false;
            }
        }
        return false;
    }

private:
    const uint8_t* file;
    size_t size;
    uint64_t begin;
    uint64_t end;
    size_t at = kPngHeaderBytes;
    uint64_t offset = 0;  // of the next chunk's data in the image data
    bool seen = false;
};

// zlib's stream and the buffers of one decoding, released on every way out.
struct Inflation {
    ~Inflation() {
        if (started) {
            inflateEnd(&stream);
        }
        std::free(rows);
        std::free(zeros);
    }

    // Fills `out` completely; false when the data ends or breaks first.
    bool Fill(DataFeed& feed, uint8_t* out, size_t count) {
        stream.next_out = out;
        stream.avail_out = static_cast<uInt>(count);
        while (stream.avail_out != 0) {
            if (stream.avail_in == 0 && !feed.Refill(stream)) {
                return false;
            }
            const int result = inflate(&stream, Z_NO_FLUSH);
            if (result == Z_STREAM_END) {
                ended = true;
                return stream.avail_out == 0;
            }
            if (result != Z_OK) {
                broken = true;
                return false;
            }
        }
        return true;
    }

    // Whether the stream ends right after the rows, its check sum right and nothing behind it.
    bool EndsHere(DataFeed& feed) {
        uint8_t extra = 0;
        if (!ended && (Fill(feed, &extra, 1) || !ended)) {
            return false;
        }
        return stream.avail_in == 0 && !feed.Refill(stream);
    }

    // Whether a band that does not end the stream holds nothing after its rows: its bytes all
    // taken, no more output, no end of the stream.
    bool DrainsEmpty(DataFeed& feed) {
        uint8_t extra = 0;
        return !Fill(feed, &extra, 1) && !broken && !ended && stream.avail_out == 1 &&
               stream.avail_in == 0;
    }

    z_stream stream{};
    bool started = false;
    bool ended = false;
    bool broken = false;
    uint8_t* rows = nullptr;
    uint8_t* zeros = nullptr;
};

// The bands a "bdIX" chunk names after the first: the first row of each and where its data
// starts, four bytes each. A chunk of another size names none.
void ReadBandIndex(const Chunk& chunk, PngLayout* layout) {
    const uint32_t named = chunk.length / 8;
    if (chunk.length % 8 != 0 || named == 0 || named >= kMostPngBands) {
        return;
    }
    layout->bands = named + 1;
    for (uint32_t i = 1; i <= named; ++i) {
        layout->bandRow[i] = BigEndian(chunk.data + (i - 1) * 8);
        layout->bandOffset[i] = BigEndian(chunk.data + (i - 1) * 8 + 4);
    }
}

// Whether the bands cut the rows and the image data in order, each band with rows and data of
// its own, past the stream's two-byte header and before its four-byte check sum.
bool BandIndexHolds(const PngLayout& layout) {
    for (uint32_t i = 1; i < layout.bands; ++i) {
        if (layout.bandRow[i] <= layout.bandRow[i - 1] || layout.bandRow[i] >= layout.height ||
            layout.bandOffset[i] <= std::max<uint32_t>(layout.bandOffset[i - 1], 1) ||
            layout.bandOffset[i] >= layout.dataBytes - std::min<uint64_t>(layout.dataBytes, 4)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ReadPngHeader(const uint8_t* bytes, size_t size, PngLayout* layout) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    size_t at = sizeof(kSignature);
    Chunk chunk;
    if (size < kPngHeaderBytes || std::memcmp(bytes, kSignature, sizeof(kSignature)) != 0 ||
        !NextChunk(bytes, size, &at, &chunk) || chunk.type != kHeader || chunk.length != 13 ||
        !CheckSumHolds(chunk)) {
        return false;
    }
    const uint8_t* field = chunk.data;
    const uint32_t width = BigEndian(field);
    const uint32_t height = BigEndian(field + 4);
    static const uint32_t kChannels[7] = {1, 0, 3, 0, 2, 0, 4};  // by colour type
    const uint8_t colorType = field[9];
    // 8-bit samples, deflate, the one filter method, no interlacing.
    if (field[8] != 8 || colorType > 6 || kChannels[colorType] == 0 || field[10] != 0 ||
        field[11] != 0 || field[12] != 0) {
        return false;
    }
    // A DIB's rows of 32-bit pixels must fit a signed 32-bit count of bytes, its whole a size_t.
    constexpr uint32_t kWidest = 0x7FFFFFFF / 4;
    if (width == 0 || height == 0 || width > kWidest || height > 0x7FFFFFFF ||
        uint64_t{width} * 4 * height > SIZE_MAX) {
        return false;
    }
    *layout = PngLayout{width, height, kChannels[colorType]};
    return true;
}

bool ScanPng(const uint8_t* file, size_t size, PngLayout* layout) {
    if (!ReadPngHeader(file, size, layout)) {
        return false;
    }
    size_t at = kPngHeaderBytes;
    uint64_t dataBytes = 0;
    bool inData = false;
    bool afterData = false;
    Chunk chunk;
    while (NextChunk(file, size, &at, &chunk)) {
        if (!CheckSumHolds(chunk)) {
            return false;
        }
        if (chunk.type == kData) {
            if (afterData) {
                return false;
            }
            inData = true;
            dataBytes += chunk.length;
            continue;
        }
        afterData = inData;
        if (chunk.type == kEnd) {
            const uint64_t rowBytes = uint64_t{layout->width} * layout->channels + 1;
            layout->dataBytes = dataBytes;
            if (!BandIndexHolds(*layout)) {
                layout->bands = 1;
            }
            return inData && rowBytes * layout->height <= (dataBytes + 1) * kMostInflation;
        }
        if (chunk.type == kBandIndex) {
            ReadBandIndex(chunk, layout);
            continue;
        }
        if (IsCritical(chunk.type) || chunk.type == kTransparency ||
            (chunk.type == kGamma && (chunk.length != 4 || BigEndian(chunk.data) != kSrgbGamma))) {
            return false;
        }
    }
    return false;
}

namespace {

// One band of rows (the whole picture for a file without a band index), inflated and unfiltered
// into the target, with the check sum of its inflated bytes when it is one of several.
struct BandDecode {
    static void Run(void* self) { static_cast<BandDecode*>(self)->Decode(); }

    // Band `index` of the layout's bands, into rows of `target` `stride` bytes apart.
    void Aim(const uint8_t* fileBytes, size_t fileSize, const PngLayout& bands, uint8_t* pixels,
             ptrdiff_t rowStride, uint32_t index) {
        file = fileBytes;
        size = fileSize;
        layout = &bands;
        target = pixels;
        stride = rowStride;
        band = index;
    }

    void Decode() {
        const bool whole = layout->bands == 1;
        const bool last = band + 1 == layout->bands;
        const uint32_t firstRow = layout->bandRow[band];
        const uint32_t endRow = last ? layout->height : layout->bandRow[band + 1];
        // A band after the first has no stream header, and the last leaves the check sum to
        // the caller.
        const uint64_t begin = layout->bandOffset[band];
        const uint64_t end = whole ? UINT64_MAX
                                   : (last ? layout->dataBytes - 4 : layout->bandOffset[band + 1]);
        const size_t rowBytes = size_t{layout->width} * layout->channels + 1;
        inflated = uint64_t{endRow - firstRow} * rowBytes;
        const size_t batchRows = std::clamp<size_t>(kBatchBytes / rowBytes, 1, endRow - firstRow);
        Inflation inflation;
        inflation.rows = static_cast<uint8_t*>(std::malloc(batchRows * rowBytes + kReadSlack));
        inflation.zeros = static_cast<uint8_t*>(std::calloc(layout->width, 4));
        if (inflation.rows == nullptr || inflation.zeros == nullptr ||
            (band == 0 ? inflateInit(&inflation.stream)
                        : inflateInit2(&inflation.stream, -MAX_WBITS)) != Z_OK) {
            return;
        }
        inflation.started = true;
        std::memset(inflation.rows + batchRows * rowBytes, 0, kReadSlack);
        DataFeed feed(file, size, begin, end);
        const RowUnfilter* unfilters = kUnfiltersByKind[layout->channels - 1];
        // A band's first row is filtered without the row above, which another band decodes.
        const uint8_t* above = inflation.zeros;
        for (uint32_t y = firstRow; y < endRow;) {
            const size_t count = std::min<size_t>(batchRows, endRow - y);
            if (!inflation.Fill(feed, inflation.rows, count * rowBytes)) {
                return;
            }
            if (!whole) {
                adler = static_cast<uint32_t>(
                    adler32(adler, inflation.rows, static_cast<uInt>(count * rowBytes)));
            }
            for (size_t r = 0; r < count; ++r, ++y) {
                const uint8_t* row = inflation.rows + r * rowBytes;
                uint8_t* out = target + static_cast<ptrdiff_t>(y) * stride;
                if (row[0] > kPaeth || (y == firstRow && y > 0 && row[0] > kSub)) {
                    return;
                }
                unfilters[row[0]](row + 1, layout->width, above, out);
                above = out;
            }
        }
        decoded = last ? inflation.EndsHere(feed) : inflation.DrainsEmpty(feed);
    }

    const uint8_t* file = nullptr;
    size_t size = 0;
    const PngLayout* layout = nullptr;
    uint8_t* target = nullptr;
    ptrdiff_t stride = 0;
    uint32_t band = 0;
    bool decoded = false;
    uint64_t inflated = 0;  // the bytes the band's data inflates to, filter bytes included
    uint32_t adler = 1;     // of those bytes
    WorkerThread worker;  // the last member: the band outlives its thread
};

// The image data's last four bytes: the check sum of the whole stream.
bool ReadStreamCheckSum(const uint8_t* file, size_t size, uint64_t dataBytes, uint32_t* sum) {
    DataFeed feed(file, size, dataBytes - 4, dataBytes);
    z_stream piece{};
    uint8_t bytes[4] = {};
    size_t got = 0;
    while (got < 4 && feed.Refill(piece)) {
        const size_t take = std::min<size_t>(piece.avail_in, 4 - got);
        std::memcpy(bytes + got, piece.next_in, take);
        got += take;
    }
    *sum = BigEndian(bytes);
    return got == 4;
}

// Every band of an indexed file at once, the first on this thread; false when any band or the
// check sum of them all does not hold.
bool DecodeBands(const uint8_t* file, size_t size, const PngLayout& layout, uint8_t* target,
                 ptrdiff_t stride) {
    BandDecode bands[kMostPngBands];
    bool threaded[kMostPngBands] = {};
    for (uint32_t i = 0; i < layout.bands; ++i) {
        bands[i].Aim(file, size, layout, target, stride, i);
        threaded[i] = i > 0 && bands[i].worker.Start(BandDecode::Run, &bands[i]);
    }
    uint32_t adler = 1;
    bool decoded = true;
    for (uint32_t i = 0; i < layout.bands; ++i) {
        if (threaded[i]) {
            bands[i].worker.Join();
        } else {
            bands[i].Decode();
        }
        decoded = decoded && bands[i].decoded;
        // zlib uses the length only modulo 65521, which also keeps it within z_off_t.
        adler = static_cast<uint32_t>(adler32_combine(
            adler, bands[i].adler, static_cast<z_off_t>(bands[i].inflated % 65521)));
    }
    uint32_t expected = 0;
    return decoded && ReadStreamCheckSum(file, size, layout.dataBytes, &expected) &&
           adler == expected;
}

}  // namespace

bool DecodePng(const uint8_t* file, size_t size, const PngLayout& layout, uint8_t* target,
               ptrdiff_t stride, uint32_t* bandsAtOnce) {
    // A band index that does not hold leaves the file to be read whole, as any other.
    const bool atOnce = layout.bands > 1 && DecodeBands(file, size, layout, target, stride);
    if (bandsAtOnce != nullptr) {
        *bandsAtOnce = atOnce ? layout.bands : 1;
    }
    if (atOnce) {
        return true;
    }
    PngLayout whole = layout;
    whole.bands = 1;
    BandDecode decode;
    decode.Aim(file, size, whole, target, stride, 0);
    decode.Decode();
    return decode.decoded;
}
