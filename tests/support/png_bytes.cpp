#include "support/png_bytes.h"

#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/png_chunks.h"

void PatchPngHeader(std::vector<uint8_t>& file, uint32_t width, uint32_t height) {
    std::vector<uint8_t> fields;
    PutBigEndian(fields, width);
    PutBigEndian(fields, height);
    std::copy(fields.begin(), fields.end(), file.begin() + 16);
    std::vector<uint8_t> sum;
    PutBigEndian(sum, static_cast<uint32_t>(crc32(0, file.data() + 12, 4 + 13)));
    std::copy(sum.begin(), sum.end(), file.begin() + 29);
}

std::vector<uint8_t> EncodePng(const PngImage& image) {
    // Every row gets filter type 0 (none) in front.
    const size_t rowBytes = image.height == 0 ? 0 : image.pixels.size() / image.height;
    std::vector<uint8_t> raw;
    for (uint32_t row = 0; row < image.height; ++row) {
        raw.push_back(0);
        const auto start = image.pixels.begin() + static_cast<ptrdiff_t>(row * rowBytes);
        raw.insert(raw.end(), start, start + static_cast<ptrdiff_t>(rowBytes));
    }
    return MakeFile({.width = image.width,
                     .height = image.height,
                     .colorType = image.colorType,
                     .bitDepth = image.bitDepth,
                     .zlib = Deflate(raw),
                     .chunkType = image.palette.empty() ? nullptr : "PLTE",
                     .chunk = image.palette});
}

std::vector<uint8_t> ReadFileBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(std::filesystem::path(path), std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}
