// The reader natively and under the sanitizers, on files made here byte by byte: every filter on
// every kind of pixel, and the files it must leave to GDI+. image_file_reader_test compares its
// pixels with GDI+'s on the files the program writes.
#include "imaging/png_reader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/png_chunks.h"

namespace {

int Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
}

// The rows filtered byte by byte, row y with filter y % 5.
std::vector<uint8_t> FilterRows(const std::vector<uint8_t>& samples, uint32_t width,
                                uint32_t height, uint32_t channels) {
    const size_t rowBytes = size_t{width} * channels;
    std::vector<uint8_t> out;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t filter = static_cast<uint8_t>(y % 5);
        out.push_back(filter);
        for (size_t i = 0; i < rowBytes; ++i) {
            const size_t at = y * rowBytes + i;
            const int a = i >= channels ? samples[at - channels] : 0;
            const int b = y > 0 ? samples[at - rowBytes] : 0;
            const int c = y > 0 && i >= channels ? samples[at - rowBytes - channels] : 0;
            const int predicted[5] = {0, a, b, (a + b) / 2, Paeth(a, b, c)};
            out.push_back(static_cast<uint8_t>(samples[at] - predicted[filter]));
        }
    }
    return out;
}

// Samples in runs of noise, steps and ramps, so that Paeth takes each of its three choices.
std::vector<uint8_t> MakeSamples(size_t count) {
    std::vector<uint8_t> samples(count);
    uint32_t seed = 12345;
    for (size_t i = 0; i < count; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const int kind = static_cast<int>(i / 7 % 3);
        samples[i] = static_cast<uint8_t>(kind == 0 ? seed >> 24 : (kind == 1 ? i / 11 : i * 3));
    }
    return samples;
}

// Blue, green, red and alpha of each pixel, top-down, as the reader lays them out.
std::vector<uint8_t> ExpectedPixels(const std::vector<uint8_t>& samples, uint32_t channels) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < samples.size(); i += channels) {
        const uint8_t* s = &samples[i];
        const bool grey = channels < 3;
        const uint8_t alpha = channels == 2 || channels == 4 ? s[channels - 1] : 255;
        out.insert(out.end(), {s[grey ? 0 : 2], s[grey ? 0 : 1], s[0], alpha});
    }
    return out;
}

struct Decoded {
    bool scanned = false;
    bool decoded = false;
    std::vector<uint8_t> pixels;  // top-down
};

// Decodes top-down or, like the viewer's DIB sections, bottom-up.
Decoded Decode(const std::vector<uint8_t>& file, bool bottomUp = false) {
    Decoded result;
    PngLayout layout;
    result.scanned = ScanPng(file.data(), file.size(), &layout);
    if (!result.scanned) {
        return result;
    }
    const ptrdiff_t rowBytes = ptrdiff_t{layout.width} * 4;
    result.pixels.resize(size_t{layout.width} * layout.height * 4);
    uint8_t* start = result.pixels.data() + (bottomUp ? rowBytes * (layout.height - 1) : 0);
    result.decoded =
        DecodePng(file.data(), file.size(), layout, start, bottomUp ? -rowBytes : rowBytes);
    if (bottomUp) {
        for (uint32_t y = 0; y < layout.height / 2; ++y) {
            std::swap_ranges(result.pixels.begin() + y * rowBytes,
                             result.pixels.begin() + (y + 1) * rowBytes,
                             result.pixels.end() - (y + 1) * rowBytes);
        }
    }
    return result;
}

constexpr uint8_t kColorType[5] = {0, 0, 4, 2, 6};  // by channels

TEST(PngReader, EveryFilterOnEveryKindOfPixel) {
    struct Case {
        uint32_t channels, width, height;
        int pieces;
    };
    // Widths of one pixel and not a multiple of four; 250 rows of 901 bytes fill several of the
    // reader's batches, the last one short.
    const Case cases[] = {{1, 1, 1, 1}, {3, 1, 7, 2},  {3, 7, 5, 1},     {4, 5, 6, 3},
                          {2, 3, 5, 1}, {1, 13, 6, 1}, {3, 300, 250, 4}, {4, 33, 1, 1}};
    for (const Case& c : cases) {
        for (const bool bottomUp : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.channels << " channels, " << c.width << "x"
                                            << c.height << (bottomUp ? " bottom-up" : ""));
            const std::vector<uint8_t> samples =
                MakeSamples(size_t{c.width} * c.height * c.channels);
            FileParts parts;
            parts.width = c.width;
            parts.height = c.height;
            parts.colorType = kColorType[c.channels];
            parts.zlib = Deflate(FilterRows(samples, c.width, c.height, c.channels));
            parts.pieces = c.pieces;
            const Decoded decoded = Decode(MakeFile(parts), bottomUp);
            EXPECT_TRUE(decoded.scanned);
            EXPECT_TRUE(decoded.decoded);
            EXPECT_EQ(decoded.pixels, ExpectedPixels(samples, c.channels));
        }
    }
}

TEST(PngReader, LeavesOtherAndBrokenFilesToTheSystem) {
    const std::vector<uint8_t> samples = MakeSamples(4 * 4 * 3);
    const std::vector<uint8_t> rows = FilterRows(samples, 4, 4, 3);
    FileParts plain;
    plain.width = plain.height = 4;
    plain.zlib = Deflate(rows);
    const std::vector<uint8_t> valid = MakeFile(plain);
    ASSERT_TRUE(Decode(valid).decoded);

    const auto with = [&](auto change) {
        FileParts parts = plain;
        change(parts);
        return MakeFile(parts);
    };
    const auto flipped = [&](size_t at) {
        std::vector<uint8_t> file = valid;
        file[at] ^= 1;
        return file;
    };
    std::vector<uint8_t> huge = with([](FileParts& p) { p.width = p.height = 30000; });
    const size_t idatAt = valid.size() - 12 - (plain.zlib.size() + 12);

    struct Case {
        const char* name;
        std::vector<uint8_t> file;
    };
    const Case refused[] = {
        {"empty", {}},
        {"only the signature", {valid.begin(), valid.begin() + 8}},
        {"16-bit", with([](FileParts& p) { p.bitDepth = 16; })},
        {"palette", with([](FileParts& p) { p.colorType = 3; })},
        {"interlaced", with([](FileParts& p) { p.interlace = 1; })},
        {"no width", with([](FileParts& p) { p.width = 0; })},
        {"transparency", with([](FileParts& p) { p.chunkType = "tRNS"; })},
        {"other gamma", with([](FileParts& p) {
             p.chunkType = "gAMA", p.chunk = {0, 1, 0x86, 0xA0};
         })},
        {"unknown critical chunk", with([](FileParts& p) { p.chunkType = "ZZZZ"; })},
        {"header check sum", flipped(29)},
        {"data check sum", flipped(idatAt + 8)},
        {"truncated", {valid.begin(), valid.begin() + static_cast<ptrdiff_t>(idatAt) + 10}},
        {"no end", {valid.begin(), valid.end() - 12}},
        {"image data in two runs", with([](FileParts& p) { p.pieces = 2, p.interrupted = true; })},
        {"30000x30000 over a few bytes", huge},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Decode(c.file).scanned);
    }

    std::vector<uint8_t> badFilter = rows;
    badFilter[0] = 5;
    std::vector<uint8_t> longer = rows;
    longer.insert(longer.end(), rows.begin(), rows.begin() + 13);
    std::vector<uint8_t> trailing = Deflate(rows);
    trailing.push_back(0);
    std::vector<uint8_t> badAdler = Deflate(rows);
    badAdler.back() ^= 1;
    const Case broken[] = {
        {"unknown filter", with([&](FileParts& p) { p.zlib = Deflate(badFilter); })},
        {"a row short", with([&](FileParts& p) {
             p.zlib = Deflate({rows.begin(), rows.end() - 13});
         })},
        {"a row too many", with([&](FileParts& p) { p.zlib = Deflate(longer); })},
        {"bytes after the stream", with([&](FileParts& p) { p.zlib = trailing; })},
        {"Adler-32", with([&](FileParts& p) { p.zlib = badAdler; })},
        {"not deflate", with([&](FileParts& p) { p.zlib.assign(40, 0xFF); })},
    };
    for (const Case& c : broken) {
        SCOPED_TRACE(c.name);
        const Decoded decoded = Decode(c.file);
        EXPECT_TRUE(decoded.scanned);
        EXPECT_FALSE(decoded.decoded);
    }
    // Chunks that change no pixel are passed over.
    const std::pair<const char*, std::vector<uint8_t>> harmless[] = {
        {"gAMA", {0, 0, 0xB1, 0x8F}}, {"sRGB", {0}}, {"pHYs", std::vector<uint8_t>(9, 1)}};
    for (const auto& chunk : harmless) {
        SCOPED_TRACE(chunk.first);
        const Decoded decoded = Decode(with([&](FileParts& p) {
            p.chunkType = chunk.first;
            p.chunk = chunk.second;
        }));
        EXPECT_TRUE(decoded.decoded);
        EXPECT_EQ(decoded.pixels, ExpectedPixels(samples, 3));
    }
}

}  // namespace
