// The reader natively and under the sanitizers, on files made here byte by byte: every filter on
// every kind of pixel, and the files it must leave to GDI+. image_file_reader_test compares its
// pixels with GDI+'s on the files the program writes.
#include "imaging/png_reader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "support/png_chunks.h"

namespace {

using Bytes = std::vector<uint8_t>;

int Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
}

// The rows filtered byte by byte, row y with filter y % 5.
Bytes FilterRows(const Bytes& samples, uint32_t width, uint32_t height, uint32_t channels) {
    const size_t rowBytes = size_t{width} * channels;
    Bytes out;
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
Bytes MakeSamples(size_t count) {
    Bytes samples(count);
    uint32_t seed = 12345;
    for (size_t i = 0; i < count; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const int kind = static_cast<int>(i / 7 % 3);
        samples[i] = static_cast<uint8_t>(kind == 0 ? seed >> 24 : (kind == 1 ? i / 11 : i * 3));
    }
    return samples;
}

// Blue, green, red and alpha of each pixel, top-down, as the reader lays them out.
Bytes ExpectedPixels(const Bytes& samples, uint32_t channels) {
    Bytes out;
    for (size_t i = 0; i < samples.size(); i += channels) {
        const uint8_t* s = &samples[i];
        const bool grey = channels < 3;
        const uint8_t alpha = channels == 2 || channels == 4 ? s[channels - 1] : 255;
        out.insert(out.end(), {s[grey ? 0 : 2], s[grey ? 0 : 1], s[0], alpha});
    }
    return out;
}

enum Outcome { Refused, Broken, Read };

// Decodes as the viewer does, bottom-up into a DIB section's rows; `pixels` come out top-down.
Outcome Decode(const Bytes& file, Bytes& pixels, uint32_t* bandsAtOnce = nullptr) {
    PngLayout layout;
    if (!ScanPng(file.data(), file.size(), &layout)) {
        return Refused;
    }
    const size_t rowBytes = size_t{layout.width} * 4;
    Bytes rows(rowBytes * layout.height);
    const bool decoded = DecodePng(file.data(), file.size(), layout, &rows[rows.size() - rowBytes],
                                   -static_cast<ptrdiff_t>(rowBytes), bandsAtOnce);
    for (size_t at = rows.size(); at > 0; at -= rowBytes) {
        pixels.insert(pixels.end(), rows.begin() + at - rowBytes, rows.begin() + at);
    }
    return decoded ? Read : Broken;
}

constexpr uint8_t kColorType[5] = {0, 0, 4, 2, 6};  // by channels

// The filtered rows deflated in bands that each start afresh at one of `starts` (a full flush
// before each), and the "bdIX" index of them: each band's first row and where its data starts.
struct Banded {
    Bytes zlib;
    Bytes index;
};

Banded DeflateInBands(const Bytes& filtered, size_t rowBytes, const std::vector<uint32_t>& starts) {
    Banded out;
    out.zlib.resize(compressBound(filtered.size()) + 16 * starts.size());
    z_stream stream{};
    deflateInit(&stream, Z_BEST_SPEED);
    stream.next_out = out.zlib.data();
    stream.avail_out = static_cast<uInt>(out.zlib.size());
    const uint32_t height = static_cast<uint32_t>(filtered.size() / rowBytes);
    for (size_t i = 0; i < starts.size(); ++i) {
        if (i > 0) {
            PutBigEndian(out.index, starts[i]);
            PutBigEndian(out.index, static_cast<uint32_t>(stream.total_out));
        }
        const uint32_t end = i + 1 < starts.size() ? starts[i + 1] : height;
        stream.next_in = const_cast<Bytef*>(filtered.data() + starts[i] * rowBytes);
        stream.avail_in = static_cast<uInt>((end - starts[i]) * rowBytes);
        deflate(&stream, i + 1 < starts.size() ? Z_FULL_FLUSH : Z_FINISH);
    }
    out.zlib.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

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
        SCOPED_TRACE(testing::Message()
                     << c.channels << " channels, " << c.width << "x" << c.height);
        const Bytes samples = MakeSamples(size_t{c.width} * c.height * c.channels);
        const FileParts parts{.width = c.width,
                              .height = c.height,
                              .colorType = kColorType[c.channels],
                              .zlib = Deflate(FilterRows(samples, c.width, c.height, c.channels)),
                              .pieces = c.pieces};
        Bytes pixels;
        EXPECT_EQ(Decode(MakeFile(parts), pixels), Read);
        EXPECT_EQ(pixels, ExpectedPixels(samples, c.channels));
    }
}

TEST(PngReader, LeavesOtherAndBrokenFilesToTheSystem) {
    const Bytes samples = MakeSamples(4 * 4 * 3);
    const Bytes rows = FilterRows(samples, 4, 4, 3);
    const FileParts plain{.width = 4, .height = 4, .zlib = Deflate(rows)};
    const Bytes valid = MakeFile(plain);

    const auto with = [&](auto change) {
        FileParts parts = plain;
        change(parts);
        return MakeFile(parts);
    };
    const auto flipped = [&](size_t at) {
        Bytes file = valid;
        file[at] ^= 1;
        return file;
    };
    const auto extra = [&](const char* type, const Bytes& data) {
        return with([&](FileParts& p) { p.chunkType = type, p.chunk = data; });
    };
    const auto zlibWith = [&](auto change) { return with([&](FileParts& p) { change(p.zlib); }); };
    const struct {
        const char* name;
        Bytes file;
        Outcome outcome;
    } cases[] = {
        {"empty", {}, Refused},
        {"only the signature", {valid.begin(), valid.begin() + 8}, Refused},
        {"16-bit", with([](FileParts& p) { p.bitDepth = 16; }), Refused},
        {"palette", with([](FileParts& p) { p.colorType = 3; }), Refused},
        {"interlaced", with([](FileParts& p) { p.interlace = 1; }), Refused},
        {"no width", with([](FileParts& p) { p.width = 0; }), Refused},
        {"transparency", extra("tRNS", {}), Refused},
        {"other gamma", extra("gAMA", {0, 1, 0x86, 0xA0}), Refused},
        {"unknown critical chunk", extra("ZZZZ", {}), Refused},
        {"header check sum", flipped(29), Refused},
        {"data check sum", flipped(valid.size() - 13), Refused},
        {"truncated", {valid.begin(), valid.end() - 20}, Refused},  // inside the image data
        {"no end", {valid.begin(), valid.end() - 12}, Refused},
        {"image data in two runs", with([](FileParts& p) { p.pieces = 2, p.interrupted = true; }),
         Refused},
        {"30000x30000 over a few bytes", with([](FileParts& p) { p.width = p.height = 30000; }),
         Refused},
        {"unknown filter", zlibWith([&](Bytes& z) { z = Deflate(Bytes(rows.size(), 5)); }), Broken},
        {"a row short", zlibWith([&](Bytes& z) { z = Deflate(Bytes(rows.size() - 13)); }), Broken},
        {"a row too many", zlibWith([&](Bytes& z) { z = Deflate(Bytes(rows.size() + 13)); }),
         Broken},
        {"bytes after the stream", zlibWith([](Bytes& z) { z.push_back(0); }), Broken},
        {"Adler-32", zlibWith([](Bytes& z) { z.back() ^= 1; }), Broken},
        {"not deflate", zlibWith([](Bytes& z) { z.assign(40, 0xFF); }), Broken},
        // Chunks that change no pixel are passed over.
        {"tEXt", valid, Read},
        {"sRGB's gamma", extra("gAMA", {0, 0, 0xB1, 0x8F}), Read},
        {"sRGB", extra("sRGB", {0}), Read},
        {"pHYs", extra("pHYs", Bytes(9, 1)), Read},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes pixels;
        EXPECT_EQ(Decode(c.file, pixels), c.outcome);
        if (c.outcome == Read) {
            EXPECT_EQ(pixels, ExpectedPixels(samples, 3));
        }
    }
}

// A file with a band index is read a band to a thread when the index holds: bands that start
// afresh, each first row filtered without the row above (rows 5 and 11 here are filtered None
// and Sub, row 7 Up). An index that does not hold leaves the file to be read whole.
TEST(PngReader, ReadsTheBandsOfAnIndexThatHoldsAtOnce) {
    const uint32_t width = 23, height = 20;
    const Bytes samples = MakeSamples(size_t{width} * height * 3);
    const Bytes rows = FilterRows(samples, width, height, 3);
    const size_t rowBytes = size_t{width} * 3 + 1;
    const auto file = [&](const Banded& banded, int pieces = 3) {
        return MakeFile({.width = width,
                         .height = height,
                         .zlib = banded.zlib,
                         .pieces = pieces,
                         .chunkType = "bdIX",
                         .chunk = banded.index});
    };
    const Banded three = DeflateInBands(rows, rowBytes, {0, 5, 11});
    const auto changed = [&](size_t at, int by) {
        Banded banded = three;
        banded.index[at] = static_cast<uint8_t>(banded.index[at] + by);
        return file(banded);
    };
    Banded swapped = three;
    std::rotate(swapped.index.begin(), swapped.index.begin() + 8, swapped.index.end());
    Banded onePiece{Deflate(rows), three.index};
    Banded tooMany = three;
    for (int i = 0; i < 6; ++i) {
        tooMany.index.insert(tooMany.index.end(), three.index.end() - 8, three.index.end());
    }
    Banded badSum = three;
    badSum.zlib.back() ^= 1;
    const struct {
        const char* name;
        Bytes file;
        Outcome outcome;
        uint32_t atOnce;
    } cases[] = {
        {"three bands", file(three), Read, 3},
        {"three bands, one data chunk", file(three, 1), Read, 3},
        {"every row a band but the first", file(DeflateInBands(rows, rowBytes, {0, 5, 6, 10, 11})),
         Read, 5},
        {"a band's first row filtered Up", file(DeflateInBands(rows, rowBytes, {0, 7})), Read, 1},
        {"a band's row one off", changed(11, 1), Read, 1},
        {"a band's data one byte off", changed(15, -1), Read, 1},
        {"bands out of order", file(swapped), Read, 1},
        {"an index over one stream", file(onePiece), Read, 1},
        {"more bands than an index may name", file(tooMany), Read, 1},
        {"the stream's check sum", file(badSum), Broken, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes pixels;
        uint32_t atOnce = 0;
        EXPECT_EQ(Decode(c.file, pixels, &atOnce), c.outcome);
        EXPECT_EQ(atOnce, c.atOnce);
        if (c.outcome == Read) {
            EXPECT_EQ(pixels, ExpectedPixels(samples, 3));
        }
    }
}

}  // namespace
