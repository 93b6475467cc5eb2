#include "imaging/zoom_scaler.h"

#include <cstdlib>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define GLIMPSER_SCALER_SSE2 1
#endif

namespace {

constexpr int32_t kWeightOne = 128;
constexpr int32_t kShift = 7;
constexpr int32_t kHalf = 1 << (kShift - 1);
constexpr int32_t kRowSlots = 4;
// Rows are worked four pixels at a time; the spare ones past the end are scratch.
constexpr int32_t kSpare = 4;

int16_t Weight(int64_t part, int64_t whole) {
    return static_cast<int16_t>((part * 2 * kWeightOne + whole) / (2 * whole));
}

// Per output column: its four weights, each repeated over the four channels.
struct ColumnTaps {
    int16_t weights[16];
};

struct Layout {
    ColumnTaps* taps;
    int16_t* lerp;  // zooming in: per output column the weight of the second pixel, twice
    uint32_t* rows[kRowSlots];  // image rows scaled across, kSpare pixels longer
    int32_t* first;             // per output column, the first image column relative to the
                                // first one read
};

size_t RowPixels(int32_t width) {
    return static_cast<size_t>(width) + kSpare;
}

Layout Carve(void* memory, int32_t width) {
    Layout layout{};
    char* at = static_cast<char*>(memory);
    layout.taps = reinterpret_cast<ColumnTaps*>(at);
    at += sizeof(ColumnTaps) * RowPixels(width);
    layout.lerp = reinterpret_cast<int16_t*>(at);
    at += 2 * sizeof(int16_t) * RowPixels(width);
    for (uint32_t*& row : layout.rows) {
        row = reinterpret_cast<uint32_t*>(at);
        at += sizeof(uint32_t) * RowPixels(width);
    }
    layout.first = reinterpret_cast<int32_t*>(at);
    return layout;
}

size_t BytesFor(int32_t width) {
    return RowPixels(width) * (sizeof(ColumnTaps) + 2 * sizeof(int16_t) +
                               kRowSlots * sizeof(uint32_t) + sizeof(int32_t));
}

#if GLIMPSER_SCALER_SSE2
// Four channels of one output pixel in 128ths, from four image pixels.
inline __m128i WeighPixels(const uint32_t* pixels, const ColumnTaps& taps) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i* weights = reinterpret_cast<const __m128i*>(taps.weights);
    __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
    __m128i sum =
        _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(four, zero), _mm_loadu_si128(weights)),
                      _mm_mullo_epi16(_mm_unpackhi_epi8(four, zero), _mm_loadu_si128(weights + 1)));
    return _mm_add_epi16(sum, _mm_srli_si128(sum, 8));
}
#endif

#if GLIMPSER_SCALER_SSE2
// a + (b − a) × weight / 128, rounded, for the four channels of four pixels; weights holds
// each pixel's weight twice. Bytes are split into even and odd channels rather than
// unpacked, which keeps the shuffle unit free.
inline __m128i Lerp(__m128i a, __m128i b, __m128i weights) {
    const __m128i low = _mm_set1_epi16(0x00FF);
    const __m128i half = _mm_set1_epi16(kHalf);
    __m128i aEven = _mm_and_si128(a, low), aOdd = _mm_srli_epi16(a, 8);
    __m128i bEven = _mm_and_si128(b, low), bOdd = _mm_srli_epi16(b, 8);
    __m128i even = _mm_add_epi16(
        aEven,
        _mm_srai_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(bEven, aEven), weights), half),
                       kShift));
    __m128i odd = _mm_add_epi16(
        aOdd,
        _mm_srai_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(bOdd, aOdd), weights), half),
                       kShift));
    return _mm_or_si128(even, _mm_slli_epi16(odd, 8));
}
#endif

// Zooming in: each output column blends an image pixel with its right neighbour. Works four
// columns at a time; up to three land in the spare.
void LerpRow(const uint32_t* source, const int32_t* first, const int16_t* lerp, int32_t width,
             uint32_t* out) {
#if GLIMPSER_SCALER_SSE2
    for (int32_t i = 0; i < width; i += 4) {
        __m128i ab = _mm_unpacklo_epi64(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(source + first[i])),
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(source + first[i + 1])));
        __m128i cd = _mm_unpacklo_epi64(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(source + first[i + 2])),
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(source + first[i + 3])));
        __m128i left = _mm_castps_si128(
            _mm_shuffle_ps(_mm_castsi128_ps(ab), _mm_castsi128_ps(cd), _MM_SHUFFLE(2, 0, 2, 0)));
        __m128i right = _mm_castps_si128(
            _mm_shuffle_ps(_mm_castsi128_ps(ab), _mm_castsi128_ps(cd), _MM_SHUFFLE(3, 1, 3, 1)));
        __m128i weights = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lerp + 2 * i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), Lerp(left, right, weights));
    }
#else
    for (int32_t i = 0; i < width; ++i) {
        uint32_t a = source[first[i]], b = source[first[i] + 1], pixel = 0;
        for (int32_t shift = 0; shift < 32; shift += 8) {
            int32_t from = static_cast<int32_t>((a >> shift) & 0xFF);
            int32_t to = static_cast<int32_t>((b >> shift) & 0xFF);
            pixel |= static_cast<uint32_t>(from + (((to - from) * lerp[2 * i] + kHalf) >> kShift))
                     << shift;
        }
        out[i] = pixel;
    }
#endif
}

// Zooming out: one image row scaled across into out, each output column weighing the up to
// four image pixels its cell covers.
void ScaleRow(const uint32_t* source, const int32_t* first, const ColumnTaps* taps, int32_t width,
              uint32_t* out) {
#if GLIMPSER_SCALER_SSE2
    const __m128i half = _mm_set1_epi16(kHalf);
    for (int32_t i = 0; i < width; i += 2) {
        // The second pixel of an odd width lands in the spare.
        int32_t next = i + 1 < width ? i + 1 : i;
        __m128i a = WeighPixels(source + first[i], taps[i]);
        __m128i b = WeighPixels(source + first[next], taps[next]);
        __m128i both = _mm_srli_epi16(_mm_add_epi16(_mm_unpacklo_epi64(a, b), half), kShift);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(both, both));
    }
#else
    for (int32_t i = 0; i < width; ++i) {
        const uint8_t* pixels = reinterpret_cast<const uint8_t*>(source + first[i]);
        uint32_t pixel = 0;
        for (int32_t channel = 0; channel < 4; ++channel) {
            int32_t sum = kHalf;
            for (int32_t k = 0; k < 4; ++k) {
                sum += pixels[4 * k + channel] * taps[i].weights[4 * k];
            }
            pixel |= static_cast<uint32_t>(sum >> kShift) << (8 * channel);
        }
        out[i] = pixel;
    }
#endif
}

// Blends up to four scaled rows down into one output row.
void BlendRows(uint32_t* const* rows, const int16_t* weights, int32_t width, uint32_t* out) {
    int32_t count = 0;
    uint32_t* used[kRowSlots];
    int16_t usedWeights[kRowSlots];
    for (int32_t k = 0; k < kRowSlots; ++k) {
        if (weights[k] != 0) {
            used[count] = rows[k];
            usedWeights[count++] = weights[k];
        }
    }
    if (count == 1) {
        std::memcpy(out, used[0], sizeof(uint32_t) * static_cast<size_t>(width));
        return;
    }
#if GLIMPSER_SCALER_SSE2
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(kHalf);
    __m128i factor[kRowSlots];
    for (int32_t k = 0; k < count; ++k) {
        factor[k] = _mm_set1_epi16(usedWeights[k]);
    }
    int32_t whole = width & ~3;
    for (int32_t i = 0; i < width; i += 4) {
        __m128i packed;
        if (count == 2) {
            // The weights add up to a whole, so this is the second row's share of the way.
            packed =
                Lerp(_mm_loadu_si128(reinterpret_cast<const __m128i*>(used[0] + i)),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(used[1] + i)), factor[1]);
        } else {
            __m128i low = half, high = half;
            for (int32_t k = 0; k < count; ++k) {
                __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(used[k] + i));
                low = _mm_add_epi16(low, _mm_mullo_epi16(_mm_unpacklo_epi8(four, zero), factor[k]));
                high =
                    _mm_add_epi16(high, _mm_mullo_epi16(_mm_unpackhi_epi8(four, zero), factor[k]));
            }
            packed = _mm_packus_epi16(_mm_srli_epi16(low, kShift), _mm_srli_epi16(high, kShift));
        }
        if (i < whole) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), packed);
        } else {
            uint32_t tail[4];
            _mm_storeu_si128(reinterpret_cast<__m128i*>(tail), packed);
            std::memcpy(out + i, tail, sizeof(uint32_t) * static_cast<size_t>(width - i));
        }
    }
#else
    for (int32_t i = 0; i < width; ++i) {
        uint32_t pixel = 0;
        for (int32_t channel = 0; channel < 4; ++channel) {
            int32_t sum = kHalf;
            for (int32_t k = 0; k < count; ++k) {
                sum += static_cast<int32_t>((used[k][i] >> (8 * channel)) & 0xFF) * usedWeights[k];
            }
            pixel |= static_cast<uint32_t>(sum >> kShift) << (8 * channel);
        }
        out[i] = pixel;
    }
#endif
}

}  // namespace

ScaleTaps SmoothTaps(int32_t u, int32_t image, int32_t zoomed) {
    int64_t start = static_cast<int64_t>(u) * image;  // in 1/zoomed of an image pixel
    ScaleTaps taps{static_cast<int32_t>(start / zoomed), {0, 0, 0, 0}};
    if (zoomed >= image) {
        int16_t next = Weight(start - static_cast<int64_t>(taps.first) * zoomed, zoomed);
        if (next == kWeightOne) {
            ++taps.first;
            next = 0;
        }
        if (taps.first >= image - 1) {
            taps.first = image - 1;
            next = 0;
        }
        taps.weights[0] = static_cast<int16_t>(kWeightOne - next);
        taps.weights[1] = next;
        return taps;
    }
    // Zooming out: each image pixel counts by how much of the output cell it covers. Weights
    // come from rounded running totals, so they always add up to a whole.
    int64_t end = start + image;
    int16_t before = 0;
    for (int32_t k = 0; k < 4; ++k) {
        int64_t covered = (static_cast<int64_t>(taps.first) + k + 1) * zoomed;
        covered = (covered < end ? covered : end) - start;
        int16_t total = Weight(covered, image);
        taps.weights[k] = static_cast<int16_t>(total - before);
        before = total;
    }
    return taps;
}

int32_t SharpPixel(int32_t u, int32_t image, int32_t zoomed) {
    // A centre exactly on the line between two pixels takes the upper or left one.
    return static_cast<int32_t>(((2 * static_cast<int64_t>(u) + 1) * image - 1) /
                                (2 * static_cast<int64_t>(zoomed)));
}

ZoomScaler::~ZoomScaler() {
    std::free(memory);
}

bool ZoomScaler::Reserve(int32_t width) {
    if (width <= capacity) {
        return true;
    }
    std::free(memory);
    columnsReady = false;
    memory = std::malloc(BytesFor(width));
    capacity = memory ? width : 0;
    return memory != nullptr;
}

bool ZoomScaler::Draw(ScalerSource& source, ScaleFilter filter, Size image, Size zoomed,
                      const Rect& target, uint32_t* out, int32_t stride) {
    if (target.right <= target.left || target.bottom <= target.top || image.cx <= 0 ||
        image.cy <= 0) {
        return true;
    }
    if (!Reserve(target.right - target.left)) {
        return false;
    }
    return filter == ScaleFilter::kSmooth ? DrawSmooth(source, image, zoomed, target, out, stride)
                                          : DrawSharp(source, image, zoomed, target, out, stride);
}

bool ZoomScaler::DrawSmooth(ScalerSource& source, Size image, Size zoomed, const Rect& target,
                            uint32_t* out, int32_t stride) {
    int32_t width = target.right - target.left;
    Layout layout = Carve(memory, width);
    int32_t firstColumn = SmoothTaps(target.left, image.cx, zoomed.cx).first;
    int32_t lastColumn = SmoothTaps(target.right - 1, image.cx, zoomed.cx).first;
    Columns wanted{ScaleFilter::kSmooth, target.left, target.right, image.cx, zoomed.cx};
    if (!columnsReady || !(columns == wanted)) {
        // Zooming in blends two neighbours; zooming out may cover up to four, but at an even
        // width never more than two.
        fourTaps = false;
        // Columns past the width repeat the last one: rows are worked four pixels at a time.
        for (int32_t i = 0; i < ((width + 3) & ~3); ++i) {
            ScaleTaps taps =
                SmoothTaps(target.left + (i < width ? i : width - 1), image.cx, zoomed.cx);
            layout.first[i] = taps.first - firstColumn;
            layout.lerp[2 * i] = layout.lerp[2 * i + 1] = taps.weights[1];
            fourTaps = fourTaps || taps.weights[2] != 0 || taps.weights[3] != 0;
            for (int32_t k = 0; k < 16; ++k) {
                layout.taps[i].weights[k] = taps.weights[k / 4];
            }
        }
        columns = wanted;
        columnsReady = true;
    }
    if (!source.Columns(firstColumn, lastColumn + 4 < image.cx ? lastColumn + 4 : image.cx)) {
        return false;
    }

    int32_t cached[kRowSlots] = {-1, -1, -1, -1};
    for (int32_t v = target.top; v < target.bottom; ++v) {
        ScaleTaps taps = SmoothTaps(v, image.cy, zoomed.cy);
        uint32_t* rows[kRowSlots];
        for (int32_t k = 0; k < kRowSlots; ++k) {
            int32_t y = taps.first + k;
            if (taps.weights[k] == 0) {
                // Weighted by zero: any finite row will do.
                rows[k] = layout.rows[0];
                continue;
            }
            rows[k] = layout.rows[y % kRowSlots];
            if (cached[y % kRowSlots] != y) {
                const uint32_t* pixels = source.Row(y);
                if (fourTaps) {
                    ScaleRow(pixels, layout.first, layout.taps, width, rows[k]);
                } else {
                    LerpRow(pixels, layout.first, layout.lerp, width, rows[k]);
                }
                cached[y % kRowSlots] = y;
            }
        }
        BlendRows(rows, taps.weights, width, out + static_cast<int64_t>(v - target.top) * stride);
    }
    return true;
}

bool ZoomScaler::DrawSharp(ScalerSource& source, Size image, Size zoomed, const Rect& target,
                           uint32_t* out, int32_t stride) {
    int32_t width = target.right - target.left;
    Layout layout = Carve(memory, width);
    int32_t firstColumn = SharpPixel(target.left, image.cx, zoomed.cx);
    Columns wanted{ScaleFilter::kSharp, target.left, target.right, image.cx, zoomed.cx};
    if (!columnsReady || !(columns == wanted)) {
        for (int32_t i = 0; i < width; ++i) {
            layout.first[i] = SharpPixel(target.left + i, image.cx, zoomed.cx) - firstColumn;
        }
        columns = wanted;
        columnsReady = true;
    }
    if (!source.Columns(firstColumn, SharpPixel(target.right - 1, image.cx, zoomed.cx) + 1)) {
        return false;
    }
    int32_t previous = -1;
    uint32_t* previousRow = nullptr;
    for (int32_t v = target.top; v < target.bottom; ++v) {
        uint32_t* row = out + static_cast<int64_t>(v - target.top) * stride;
        int32_t y = SharpPixel(v, image.cy, zoomed.cy);
        if (y == previous) {
            std::memcpy(row, previousRow, sizeof(uint32_t) * static_cast<size_t>(width));
        } else {
            const uint32_t* pixels = source.Row(y);
            for (int32_t i = 0; i < width; ++i) {
                row[i] = pixels[layout.first[i]];
            }
            previous = y;
        }
        previousRow = row;
    }
    return true;
}
