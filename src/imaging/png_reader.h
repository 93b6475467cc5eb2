#pragma once
// PNG files of the kinds the program writes and their like (8-bit grey, grey with alpha, RGB and
// RGBA, not interlaced), read straight into 32-bit pixels as GDI lays them out: the rows are
// inflated a few at a time and unfiltered into their place in one pass. Anything else, and any
// file that is not whole and regular, is left to the system's decoder.
#include <cstddef>
#include <cstdint>

// The signature and the header chunk: enough to tell whether the rest is worth reading.
inline constexpr size_t kPngHeaderBytes = 8 + 8 + 13 + 4;

// The most bands a file's band index may name, the first included.
inline constexpr uint32_t kMostPngBands = 8;

struct PngLayout {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t channels = 0;  // 1 grey, 2 grey and alpha, 3 RGB, 4 RGBA
    // Bands of rows whose deflate data starts afresh, from the program's own encoder's "bdIX"
    // chunk: the first row of each and where its data starts in the image data (band 0 at row
    // 0 and byte 0). One band for any other file.
    uint32_t bands = 1;
    uint32_t bandRow[kMostPngBands] = {};
    uint32_t bandOffset[kMostPngBands] = {};
    uint64_t dataBytes = 0;  // all the image data chunks hold
};

// True when the first bytes of a file are a PNG header of a kind this reader decodes, of a size
// whose 32-bit pixels a DIB section can hold.
bool ReadPngHeader(const uint8_t* bytes, size_t size, PngLayout* layout);

// True when the whole file is such a PNG: every chunk complete with its check sum right, no
// chunk that would change the pixels (transparency, a gamma other than sRGB's, an unknown
// critical chunk), the image data in one run and enough of it to hold the declared picture.
// Reads only the chunks' frames, so a header that declares a huge picture over a few bytes is
// turned away before anything is allocated for it.
bool ScanPng(const uint8_t* file, size_t size, PngLayout* layout);

// Decodes a file that ScanPng accepted into `target`: image row y at target + y * stride (a
// negative stride gives bottom-up rows), each pixel blue, green, red and alpha (255 where the file
// has none; grey repeated in all three). A file with a band index that holds is decoded a band
// to a thread. False when the data does not inflate to exactly the declared rows; the target
// then holds part of the picture.
// `bandsAtOnce`, when given, gets how many bands were decoded at once (1: read whole).
bool DecodePng(const uint8_t* file, size_t size, const PngLayout& layout, uint8_t* target,
               ptrdiff_t stride, uint32_t* bandsAtOnce = nullptr);
