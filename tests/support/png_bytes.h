#pragma once
// Image files made and read byte by byte, so image tests need no fixture files and no encoder
// under test to make their inputs.
#include <cstdint>
#include <string>
#include <vector>

struct PngImage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t bitDepth = 8;
    uint8_t colorType = 2;              // 0 grey, 2 RGB, 3 indexed, 4 grey+alpha, 6 RGBA
    std::vector<uint8_t> palette;       // PLTE: red, green, blue per entry
    std::vector<uint8_t> transparency;  // tRNS, when not empty
    std::vector<uint8_t> pixels;        // rows top-down, packed as PNG packs them, no filter byte
};

// A valid PNG of the image: its rows unfiltered (filter 0), deflated by zlib.
std::vector<uint8_t> EncodePng(const PngImage& image);

// The data of the first chunk of this type ("pHYs"); false when the file has none or is not
// a PNG.
bool FindPngChunk(const std::vector<uint8_t>& file, const char* type, std::vector<uint8_t>& data);

// An uncompressed single-strip TIFF, for pixel layouts a PNG decoder would convert.
struct TiffImage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bitsPerSample = 8;
    uint16_t colorSamples = 3;
    uint16_t photometric = 2;     // 2 RGB, 5 separated (CMYK)
    uint16_t extraSample = 0;     // 0 none, 1 premultiplied alpha, 2 straight alpha
    std::vector<uint8_t> pixels;  // rows top-down, samples little-endian
};
std::vector<uint8_t> EncodeTiff(const TiffImage& image);

std::vector<uint8_t> ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes);
