#include "imaging/png_encoder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

struct Collect : IPngSink {
    bool Write(const uint8_t* data, size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    std::vector<uint8_t> bytes;
};

uint32_t BigEndian(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

struct Decoded {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t pixelsPerMetre = 0;  // 0: no pHYs
    std::vector<uint8_t> rgb;     // top-down, no filter bytes
    std::set<int> filters;        // the row filters the file uses
    std::string failure;          // empty when the file is sound
};

// Just enough of a PNG reader for 8-bit RGB: chunks and their CRCs, inflate, the five filters.
Decoded Decode(const std::vector<uint8_t>& file) {
    Decoded out;
    std::vector<uint8_t> idat;
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0) {
        out.failure = "signature";
        return out;
    }
    std::string last;
    for (size_t at = 8; at + 12 <= file.size(); at += 12 + BigEndian(&file[at])) {
        const uint32_t length = BigEndian(&file[at]);
        last.assign(reinterpret_cast<const char*>(&file[at + 4]), 4);
        if (length > file.size() - at - 12 ||
            crc32(0, &file[at + 4], length + 4) != BigEndian(&file[at + 8 + length])) {
            out.failure = "chunk " + last;
            return out;
        }
        const uint8_t* data = &file[at + 8];
        if (last == "IHDR") {
            out.width = BigEndian(data);
            out.height = BigEndian(data + 4);
            if (std::memcmp(data + 8, "\x08\x02\0\0\0", 5) != 0) {
                out.failure = "not 8-bit RGB";
            }
        } else if (last == "pHYs") {
            out.pixelsPerMetre = BigEndian(data);
            if (BigEndian(data + 4) != out.pixelsPerMetre || data[8] != 1) {
                out.failure = "pHYs";
            }
        } else if (last == "IDAT") {
            idat.insert(idat.end(), data, data + length);
        }
    }
    const size_t row = size_t{out.width} * 3;
    std::vector<uint8_t> raw((row + 1) * out.height);
    uLongf size = raw.size();
    if (last != "IEND" || uncompress(raw.data(), &size, idat.data(), idat.size()) != Z_OK ||
        size != raw.size()) {
        out.failure += " data";
        return out;
    }
    out.rgb.resize(row * out.height);
    for (size_t y = 0; y < out.height; ++y) {
        const uint8_t* in = &raw[y * (row + 1)];
        uint8_t* pixel = &out.rgb[y * row];
        const uint8_t* above = y > 0 ? pixel - row : nullptr;
        out.filters.insert(in[0]);
        for (size_t i = 0; i < row; ++i) {
            const int a = i >= 3 ? pixel[i - 3] : 0;
            const int b = above ? above[i] : 0;
            const int c = above && i >= 3 ? above[i - 3] : 0;
            const int p = a + b - c;
            const int paeth =
                std::abs(p - a) <= std::abs(p - b) && std::abs(p - a) <= std::abs(p - c)
                    ? a
                    : (std::abs(p - b) <= std::abs(p - c) ? b : c);
            const int predicted[5] = {0, a, b, (a + b) / 2, paeth};
            pixel[i] = static_cast<uint8_t>(in[1 + i] + predicted[in[0] % 5]);
        }
    }
    return out;
}

// Rows that each favour another filter: noise, a copy of the row above, a ramp, the mean of left
// and above, and a noisy slope; the unused fourth byte is never zero, so dropping it is seen.
std::vector<uint8_t> MakeBgrx(uint32_t width, uint32_t height) {
    std::vector<uint8_t> bgrx(size_t{width} * height * 4);
    uint32_t seed = 7;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t* p = &bgrx[(size_t{y} * width + x) * 4];
            const uint8_t* above = y > 0 ? p - size_t{width} * 4 : p;
            const uint8_t* left = x > 0 ? p - 4 : above;
            for (int k = 0; k < 3; ++k) {
                seed = seed * 1664525u + 1013904223u;
                const int row[5] = {static_cast<int>(seed >> 24), above[k],
                                    static_cast<int>(x * (k + 1)), (left[k] + above[k]) / 2,
                                    above[k] + static_cast<int>(x / 8 + (seed >> 30))};
                p[k] = static_cast<uint8_t>(row[y % 5]);
            }
            p[3] = 0xA5;
        }
    }
    return bgrx;
}

TEST(PngEncoder, EveryPixelComesBack) {
    struct Case {
        uint32_t width;
        uint32_t height;
        uint32_t dpi;
        uint32_t pixelsPerMetre;
    };
    const Case cases[] = {
        {1, 1, 96, 3780},      {3, 7, 144, 5669},
        {5, 2, 0, 0},          {640, 400, 96, 3780},  // many IDAT chunks
        {16384, 6, 120, 4724},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        const std::vector<uint8_t> bgrx = MakeBgrx(c.width, c.height);
        Collect sink;
        ASSERT_TRUE(EncodePng({bgrx.data(), c.width, c.height, size_t{c.width} * 4, c.dpi}, sink));
        const Decoded decoded = Decode(sink.bytes);
        ASSERT_EQ(decoded.failure, "");
        EXPECT_EQ(decoded.width, c.width);
        EXPECT_EQ(decoded.height, c.height);
        EXPECT_EQ(decoded.pixelsPerMetre, c.pixelsPerMetre);
        std::vector<uint8_t> rgb;
        for (size_t i = 0; i < bgrx.size(); i += 4) {
            rgb.insert(rgb.end(), {bgrx[i + 2], bgrx[i + 1], bgrx[i]});
        }
        EXPECT_TRUE(decoded.rgb == rgb);
        if (c.width == 640) {
            EXPECT_EQ(decoded.filters, (std::set<int>{0, 1, 2, 3, 4})) << "every filter tried";
        }
    }
}

TEST(PngEncoder, RefusesWhatPngCannotHoldAndStopsWhenTheSinkFails) {
    const std::vector<uint8_t> bgrx = MakeBgrx(4, 4);
    const PngPicture cases[] = {
        {bgrx.data(), 0, 4, 16, 96}, {bgrx.data(), 4, 0, 16, 96},
        {bgrx.data(), 4, 4, 12, 96},  // rows overlap
        {nullptr, 4, 4, 16, 96},     {bgrx.data(), 0x80000000u, 1, size_t{0x80000000u} * 4, 96},
    };
    for (const PngPicture& picture : cases) {
        Collect sink;
        EXPECT_FALSE(EncodePng(picture, sink)) << picture.width << "x" << picture.height;
    }
    struct Refuse : IPngSink {
        bool Write(const uint8_t*, size_t) override { return --left > 0; }
        int left = 0;
    };
    for (int writes = 1; writes <= 5; ++writes) {  // signature, IHDR, pHYs, IDAT, IEND
        Refuse sink;
        sink.left = writes;
        EXPECT_FALSE(EncodePng({bgrx.data(), 4, 4, 16, 96}, sink)) << writes;
    }
}

}  // namespace
