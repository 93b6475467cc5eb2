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
    uint8_t colorType = 2;         // 0 grey, 2 RGB, 3 indexed, 4 grey+alpha, 6 RGBA
    std::vector<uint8_t> palette;  // PLTE: red, green, blue per entry
    std::vector<uint8_t> pixels;   // rows top-down, packed as PNG packs them, no filter byte
};

// A valid PNG of the image: its rows unfiltered (filter 0), deflated by zlib.
std::vector<uint8_t> EncodePng(const PngImage& image);

// Gives the file's header chunk another size, its check sum made right again.
void PatchPngHeader(std::vector<uint8_t>& file, uint32_t width, uint32_t height);

// The whole file; empty when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes);
