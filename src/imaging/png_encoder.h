#pragma once
// PNG files of opaque pictures, encoded by the program itself: per-row filter choice and its own
// deflate (deflate_stream.h), bytes in, bytes out. GDI+'s encoder is slow and compresses weakly
// under Wine, and every capture goes through this one.
#include <cstddef>
#include <cstdint>

#include "imaging/byte_sink.h"
#include "tessel/owned_ptr.h"

// Hands out the rows of a picture that is not held whole. A row stays valid until the next call;
// null stops the encoding. Rows are asked for in runs, each top down: a large picture is encoded
// in bands, each band on a thread of its own with a reader of its own.
class IPngRows {
public:
    virtual ~IPngRows() = default;
    virtual const uint8_t* Row(uint32_t y) = 0;
    // Another reader of the same picture, independent of this one; empty when none can be made,
    // and this reader then reads that band too.
    virtual Tessel::OwnedPtr<IPngRows> OpenAnother() = 0;
};

// 32-bit pixels as GDI lays them out (blue, green, red, one unused byte): all rows top-down and
// `stride` bytes apart, or one at a time from `rows`.
struct PngPicture {
    const uint8_t* pixels = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
    size_t stride = 0;
    uint32_t dpi = 0;  // 0 writes no resolution
    IPngRows* rows = nullptr;
    uint32_t bands = 0;    // encoded at once; 0 leaves it to the picture's size and the cores
    uint32_t threads = 0;  // the most threads that encode the bands; 0 for one a band
};

// Writes the picture as an 8-bit RGB PNG; the unused byte is dropped, as screen pixels carry no
// alpha. False for an empty picture or one wider or taller than PNG allows, when memory runs
// out, or when the sink refuses; the sink may then have received part of a file. Every thread
// it starts has ended when it returns.
bool EncodePng(const PngPicture& picture, IByteSink& sink);
