#pragma once
// Draws any rectangle of a zoomed image into a 32-bit pixel buffer. Every output pixel is
// worked out from one mapping of the whole image, whatever rectangle is asked for, so pieces
// drawn one at a time join into exactly the picture of one whole draw.
//
// Smooth: output pixel u samples image coordinate u × image / zoomed, blended bilinearly
// between its two neighbours (the last row and column repeat past the edge); when zooming
// out, each output pixel averages the image pixels its cell covers. Sharp: output pixel u
// takes the image pixel under its centre, ((2u + 1) × image − 1) / (2 × zoomed), the upper or
// left one when the centre lies on the line between two, as StretchBlt does.
#include <cstdint>

#include "win/rect.h"

// Readable pixels a source row must offer past the last column asked for; their values do
// not matter (they are weighted by zero).
inline constexpr int32_t kScalerRowPadding = 3;

// Image rows on demand, asked for in increasing order within one draw.
class ScalerSource {
public:
    // Called once per draw, before any Row: the image columns [first, end) will be read.
    // False stops the draw (no memory for the rows).
    virtual bool Columns(int32_t first, int32_t end) = 0;
    // Image row y: element i is pixel (first + i, y), readable for i < end − first +
    // kScalerRowPadding.
    virtual const uint32_t* Row(int32_t y) = 0;

protected:
    ~ScalerSource() = default;
};

enum class ScaleFilter { kSmooth, kSharp };

// Weights of one output coordinate: four image pixels from first on, in 128ths.
struct ScaleTaps {
    int32_t first;
    int16_t weights[4];
};

// The taps of output coordinate u in [0, zoomed) for an axis of image pixels; zoomed must be
// at least a third of image (a cell then covers at most four pixels).
ScaleTaps SmoothTaps(int32_t u, int32_t image, int32_t zoomed);
int32_t SharpPixel(int32_t u, int32_t image, int32_t zoomed);

class ZoomScaler {
public:
    ZoomScaler() = default;
    ZoomScaler(const ZoomScaler&) = delete;
    ZoomScaler& operator=(const ZoomScaler&) = delete;
    ~ZoomScaler();

    // Fills out (row after row, stride pixels apart) with the part target of the image zoomed
    // from image to zoomed; target is in zoomed coordinates and lies inside (0, 0, zoomed).
    // False when working memory could not be had; out is then incomplete.
    bool Draw(ScalerSource& source, ScaleFilter filter, Size image, Size zoomed, const Rect& target,
              uint32_t* out, int32_t stride);

private:
    bool Reserve(int32_t width);
    bool DrawSmooth(ScalerSource& source, Size image, Size zoomed, const Rect& target,
                    uint32_t* out, int32_t stride);
    bool DrawSharp(ScalerSource& source, Size image, Size zoomed, const Rect& target, uint32_t* out,
                   int32_t stride);

    // Working rows for one output width: column taps and four horizontally scaled image rows.
    void* memory = nullptr;
    int32_t capacity = 0;
    // The columns the taps in memory were worked out for; bands of rows drawn one after
    // another over the same columns reuse them.
    struct Columns {
        ScaleFilter filter;
        int32_t left, right, image, zoomed;
        bool operator==(const Columns&) const = default;
    };
    Columns columns{};
    bool columnsReady = false;
    bool fourTaps = false;
};
