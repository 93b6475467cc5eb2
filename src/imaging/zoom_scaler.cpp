#include "imaging/zoom_scaler.h"

#include <cstdlib>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define GLIMPSER_SCALER_SSE2 1
#endif

namespace {

constexpr int32_t kWeightOne = 128;
// Horizontal sums are in 128ths, vertical ones in 128ths of those.
constexpr int32_t kShift = 14;
constexpr int32_t kHalf = 1 << (kShift - 1);
constexpr int32_t kRowSlots = 4;

int16_t Weight(int64_t part, int64_t whole) {
    return static_cast<int16_t>((part * 2 * kWeightOne + whole) / (2 * whole));
}

// Per output column: the first image column (relative to the first one read) and its four
// weights, each repeated over the four channels.
struct ColumnTaps {
    int16_t weights[16];
};

struct Layout {
    int32_t* first;
    ColumnTaps* taps;
    int16_t* rows[kRowSlots];  // four channels per output pixel, one spare pixel at the end
};

Layout Carve(void* memory, int32_t width) {
    Layout layout{};
    char* at = static_cast<char*>(memory);
    layout.taps = reinterpret_cast<ColumnTaps*>(at);
    at += sizeof(ColumnTaps) * static_cast<size_t>(width);
    for (int16_t*& row : layout.rows) {
        row = reinterpret_cast<int16_t*>(at);
        at += sizeof(int16_t) * 4 * (static_cast<size_t>(width) + 1);
    }
    layout.first = reinterpret_cast<int32_t*>(at);
    return layout;
}

size_t BytesFor(int32_t width) {
    size_t columns = static_cast<size_t>(width) + 1;
    return columns * (sizeof(ColumnTaps) + kRowSlots * 4 * sizeof(int16_t) + sizeof(int32_t));
}

// One image row scaled across: out gets, per output column, the four channels weighted in
// 128ths.
void ScaleRow(const uint32_t* source, const int32_t* first, const ColumnTaps* taps, int32_t width,
              int16_t* out) {
#if GLIMPSER_SCALER_SSE2
    const __m128i zero = _mm_setzero_si128();
    for (int32_t i = 0; i < width; ++i) {
        __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + first[i]));
        __m128i low = _mm_unpacklo_epi8(pixels, zero);
        __m128i high = _mm_unpackhi_epi8(pixels, zero);
        low = _mm_mullo_epi16(low,
                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(taps[i].weights)));
        high = _mm_mullo_epi16(
            high, _mm_loadu_si128(reinterpret_cast<const __m128i*>(taps[i].weights + 8)));
        __m128i sum = _mm_add_epi16(low, high);
        sum = _mm_add_epi16(sum, _mm_srli_si128(sum, 8));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 4 * i), sum);
    }
#else
    for (int32_t i = 0; i < width; ++i) {
        const uint8_t* pixels = reinterpret_cast<const uint8_t*>(source + first[i]);
        for (int32_t channel = 0; channel < 4; ++channel) {
            int32_t sum = 0;
            for (int32_t k = 0; k < 4; ++k) {
                sum += pixels[4 * k + channel] * taps[i].weights[4 * k];
            }
            out[4 * i + channel] = static_cast<int16_t>(sum);
        }
    }
#endif
}

// Blends up to four scaled rows down into one output row.
void BlendRows(int16_t* const* rows, const int16_t* weights, int32_t width, uint32_t* out) {
#if GLIMPSER_SCALER_SSE2
    const __m128i pair01 = _mm_set1_epi32(
        static_cast<int32_t>(static_cast<uint16_t>(weights[0]) |
                             static_cast<uint32_t>(static_cast<uint16_t>(weights[1])) << 16));
    const __m128i pair23 = _mm_set1_epi32(
        static_cast<int32_t>(static_cast<uint16_t>(weights[2]) |
                             static_cast<uint32_t>(static_cast<uint16_t>(weights[3])) << 16));
    const __m128i half = _mm_set1_epi32(kHalf);
    const bool fourRows = weights[2] != 0 || weights[3] != 0;
    for (int32_t i = 0; i < width; i += 2) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[0] + 4 * i));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[1] + 4 * i));
        __m128i low = _mm_madd_epi16(_mm_unpacklo_epi16(a, b), pair01);
        __m128i high = _mm_madd_epi16(_mm_unpackhi_epi16(a, b), pair01);
        if (fourRows) {
            __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2] + 4 * i));
            __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[3] + 4 * i));
            low = _mm_add_epi32(low, _mm_madd_epi16(_mm_unpacklo_epi16(c, d), pair23));
            high = _mm_add_epi32(high, _mm_madd_epi16(_mm_unpackhi_epi16(c, d), pair23));
        }
        low = _mm_srai_epi32(_mm_add_epi32(low, half), kShift);
        high = _mm_srai_epi32(_mm_add_epi32(high, half), kShift);
        __m128i packed = _mm_packs_epi32(low, high);
        packed = _mm_packus_epi16(packed, packed);
        if (i + 1 < width) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), packed);
        } else {
            out[i] = static_cast<uint32_t>(_mm_cvtsi128_si32(packed));
        }
    }
#else
    for (int32_t i = 0; i < width; ++i) {
        uint32_t pixel = 0;
        for (int32_t channel = 0; channel < 4; ++channel) {
            int32_t sum = kHalf;
            for (int32_t k = 0; k < 4; ++k) {
                if (weights[k] != 0) {
                    sum += rows[k][4 * i + channel] * weights[k];
                }
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
    return static_cast<int32_t>((2 * static_cast<int64_t>(u) + 1) * image /
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
    for (int32_t i = 0; i < width; ++i) {
        ScaleTaps taps = SmoothTaps(target.left + i, image.cx, zoomed.cx);
        layout.first[i] = taps.first - firstColumn;
        for (int32_t k = 0; k < 16; ++k) {
            layout.taps[i].weights[k] = taps.weights[k / 4];
        }
    }
    if (!source.Columns(firstColumn, lastColumn + 4 < image.cx ? lastColumn + 4 : image.cx)) {
        return false;
    }

    int32_t cached[kRowSlots] = {-1, -1, -1, -1};
    for (int32_t v = target.top; v < target.bottom; ++v) {
        ScaleTaps taps = SmoothTaps(v, image.cy, zoomed.cy);
        int16_t* rows[kRowSlots];
        for (int32_t k = 0; k < kRowSlots; ++k) {
            int32_t y = taps.first + k;
            if (taps.weights[k] == 0) {
                // Weighted by zero: any finite row will do.
                rows[k] = layout.rows[0];
                continue;
            }
            rows[k] = layout.rows[y % kRowSlots];
            if (cached[y % kRowSlots] != y) {
                ScaleRow(source.Row(y), layout.first, layout.taps, width, rows[k]);
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
    for (int32_t i = 0; i < width; ++i) {
        layout.first[i] = SharpPixel(target.left + i, image.cx, zoomed.cx) - firstColumn;
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
