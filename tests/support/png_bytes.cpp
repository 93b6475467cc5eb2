#include "support/png_bytes.h"

#include <windows.h>
#include <zlib.h>

#include <cstring>

namespace {

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

uint32_t GetBigEndian(const uint8_t* bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           bytes[3];
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, static_cast<uint32_t>(
                          crc32(0, out.data() + start, static_cast<uInt>(out.size() - start))));
}

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> out(size);
    compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_SPEED);
    out.resize(size);
    return out;
}

const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

}  // namespace

std::vector<uint8_t> EncodePng(const PngImage& image) {
    std::vector<uint8_t> out(kSignature, kSignature + 8);
    std::vector<uint8_t> header;
    PutBigEndian(header, image.width);
    PutBigEndian(header, image.height);
    header.insert(header.end(), {image.bitDepth, image.colorType, 0, 0, 0});
    PutChunk(out, "IHDR", header);
    if (!image.palette.empty())
        PutChunk(out, "PLTE", image.palette);
    if (!image.transparency.empty())
        PutChunk(out, "tRNS", image.transparency);

    // Every row gets filter type 0 (none) in front.
    const size_t rowBytes = image.height == 0 ? 0 : image.pixels.size() / image.height;
    std::vector<uint8_t> raw;
    for (uint32_t row = 0; row < image.height; ++row) {
        raw.push_back(0);
        const auto start = image.pixels.begin() + static_cast<ptrdiff_t>(row * rowBytes);
        raw.insert(raw.end(), start, start + static_cast<ptrdiff_t>(rowBytes));
    }
    PutChunk(out, "IDAT", Deflate(raw));
    PutChunk(out, "IEND", {});
    return out;
}

bool FindPngChunk(const std::vector<uint8_t>& file, const char* type, std::vector<uint8_t>& data) {
    if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0) {
        return false;
    }
    size_t offset = 8;
    while (offset + 12 <= file.size()) {
        const uint32_t length = GetBigEndian(&file[offset]);
        if (length > file.size() - offset - 12) {
            return false;
        }
        if (std::memcmp(&file[offset + 4], type, 4) == 0) {
            data.assign(file.begin() + static_cast<ptrdiff_t>(offset + 8),
                        file.begin() + static_cast<ptrdiff_t>(offset + 8 + length));
            return true;
        }
        offset += 12 + length;
    }
    return false;
}

std::vector<uint8_t> ReadFileBytes(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    LARGE_INTEGER size{};
    DWORD read = 0;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        bytes.resize(read);
    }
    CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    CloseHandle(file);
    return ok;
}

namespace {

void PutLittle16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutLittle32(std::vector<uint8_t>& out, uint32_t value) {
    PutLittle16(out, static_cast<uint16_t>(value));
    PutLittle16(out, static_cast<uint16_t>(value >> 16));
}

}  // namespace

std::vector<uint8_t> EncodeTiff(const TiffImage& image) {
    const uint16_t samples =
        static_cast<uint16_t>(image.extraSample == 0 ? image.colorSamples : image.colorSamples + 1);
    std::vector<uint8_t> out{'I', 'I', 42, 0};
    PutLittle32(out, 8);  // the directory follows the header

    struct Entry {
        uint16_t tag;
        uint16_t type;  // 3 SHORT, 4 LONG
        uint32_t count;
        uint32_t value;
    };
    std::vector<Entry> entries = {
        {256, 4, 1, image.width},
        {257, 4, 1, image.height},
        {258, 3, samples, image.bitsPerSample},  // patched to an offset below when needed
        {259, 3, 1, 1},                          // no compression
        {262, 3, 1, image.photometric},
        {273, 4, 1, 0},  // strip offset, patched below
        {277, 3, 1, samples},
        {278, 4, 1, image.height},
        {279, 4, 1, static_cast<uint32_t>(image.pixels.size())},
        {284, 3, 1, 1},  // chunky
    };
    if (image.extraSample != 0)
        entries.push_back({338, 3, 1, image.extraSample});

    const uint32_t directorySize = static_cast<uint32_t>(2 + entries.size() * 12 + 4);
    const uint32_t bitsOffset = 8 + directorySize;
    const uint32_t pixelsOffset = bitsOffset + samples * 2u;
    for (Entry& entry : entries) {
        if (entry.tag == 258 && samples > 2)
            entry.value = bitsOffset;
        if (entry.tag == 273)
            entry.value = pixelsOffset;
    }
    PutLittle16(out, static_cast<uint16_t>(entries.size()));
    for (const Entry& entry : entries) {
        PutLittle16(out, entry.tag);
        PutLittle16(out, entry.type);
        PutLittle32(out, entry.count);
        if (entry.type == 3 && entry.count == 1) {
            PutLittle16(out, static_cast<uint16_t>(entry.value));
            PutLittle16(out, 0);
        } else {
            PutLittle32(out, entry.value);
        }
    }
    PutLittle32(out, 0);  // no next directory
    for (uint16_t i = 0; i < samples; ++i)
        PutLittle16(out, image.bitsPerSample);
    out.insert(out.end(), image.pixels.begin(), image.pixels.end());
    return out;
}
