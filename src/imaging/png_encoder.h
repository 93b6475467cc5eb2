#pragma once
// PNG files of opaque pictures, encoded by the program itself: per-row filter choice and its own
// deflate (deflate_stream.h), bytes in, bytes out. GDI+'s encoder is slow and compresses weakly
// under Wine, and every capture goes through this one.
#include <cstddef>
#include <cstdint>

#include "imaging/byte_sink.h"

// Hands out the rows of a picture that is not held whole, top row first. A row stays valid until
// the next call; null stops the encoding.
class IPngRows {
public:
    virtual const uint8_t* Row(uint32_t y) = 0;

protected:
    ~IPngRows() = default;
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
};

// Writes the picture as an 8-bit RGB PNG; the unused byte is dropped, as screen pixels carry no
// alpha. False for an empty picture or one wider or taller than PNG allows, when memory runs
// out, or when the sink refuses; the sink may then have received part of a file.
bool EncodePng(const PngPicture& picture, IByteSink& sink);
