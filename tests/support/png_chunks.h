#pragma once
// PNG files put together chunk by chunk, every check sum right, with whatever a test wants wrong
// inside them. Portable, for the reader's native tests and its fuzzer as well.
#include <zlib.h>

#include <cstdint>
#include <vector>

inline void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    out.insert(out.end(), {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                           static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)});
}

inline void PutChunk(std::vector<uint8_t>& file, const char* type,
                     const std::vector<uint8_t>& data) {
    PutBigEndian(file, static_cast<uint32_t>(data.size()));
    const size_t start = file.size();
    file.insert(file.end(), type, type + 4);
    file.insert(file.end(), data.begin(), data.end());
    PutBigEndian(file, static_cast<uint32_t>(
                           crc32(0, file.data() + start, static_cast<uInt>(data.size() + 4))));
}

// zlib's stream of the bytes.
inline std::vector<uint8_t> Deflate(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> out(compressBound(bytes.size()));
    uLongf size = out.size();
    const int result = compress2(out.data(), &size, bytes.data(), bytes.size(), Z_BEST_SPEED);
    out.resize(result == Z_OK ? size : 0);
    return out;
}

struct FileParts {
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t colorType = 2;
    uint8_t bitDepth = 8;
    uint8_t interlace = 0;
    std::vector<uint8_t> zlib;  // the image data, cut into `pieces` IDAT chunks
    int pieces = 1;
    bool interrupted = false;        // another chunk between the pieces
    const char* chunkType = "tEXt";  // one more chunk, before the image data; nullptr for none
    std::vector<uint8_t> chunk{'a', 0, 'b'};
};

// The file: signature, header, the one extra chunk, the image data and the end.
inline std::vector<uint8_t> MakeFile(const FileParts& parts) {
    std::vector<uint8_t> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBigEndian(header, parts.width);
    PutBigEndian(header, parts.height);
    header.insert(header.end(), {parts.bitDepth, parts.colorType, 0, 0, parts.interlace});
    PutChunk(file, "IHDR", header);
    if (parts.chunkType != nullptr) {
        PutChunk(file, parts.chunkType, parts.chunk);
    }
    for (int i = 0; i < parts.pieces; ++i) {
        const size_t begin = parts.zlib.size() * i / parts.pieces;
        const size_t end = parts.zlib.size() * (i + 1) / parts.pieces;
        if (i > 0 && parts.interrupted) {
            PutChunk(file, "tEXt", {'x'});
        }
        PutChunk(file, "IDAT", {parts.zlib.begin() + begin, parts.zlib.begin() + end});
    }
    PutChunk(file, "IEND", {});
    return file;
}
