// The encoder natively and under the sanitizers: what it refuses, where it stops for its sink,
// its chunks' checksums and the filters it chooses. image_saving_test has GDI+ decode the files of
// rows handed out one at a time; pixels held whole must give the same bytes.
#include "imaging/png_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "imaging/deflate_round_trip.h"
#include "imaging/png_reader.h"

namespace {

// The rows of a picture held whole, handed out one at a time, by this reader and up to `readers`
// more; none of them has row `missing`.
struct Rows : IPngRows {
    Rows(const PngPicture& whole, int readers, uint32_t missing = UINT32_MAX)
        : whole(whole), readers(readers), missing(missing) {}
    const uint8_t* Row(uint32_t y) override {
        return y == missing ? nullptr : whole.pixels + y * whole.stride;
    }
    Tessel::OwnedPtr<IPngRows> OpenAnother() override {
        if (readers-- <= 0) {
            return {};
        }
        return Tessel::MakeOwned<Rows>(whole, 0, missing);
    }
    PngPicture whole;
    int readers;
    uint32_t missing;
};

// Rows that each favour another filter: noise, a copy of the row above, a ramp, the mean of left
// and above, and a noisy slope.
std::vector<uint8_t> MakeBgrx(uint32_t width, uint32_t height) {
    std::vector<uint8_t> bgrx(size_t{width} * height * 4);
    uint32_t seed = 7;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t* p = &bgrx[(size_t{y} * width + x) * 4];
            const uint8_t* above = y > 0 ? p - size_t{width} * 4 : p;
            const uint8_t* left = x > 0 ? p - 4 : above;
            for (int k = 0; k < 4; ++k) {
                seed = seed * 1664525u + 1013904223u;
                const int row[5] = {static_cast<int>(seed >> 24), above[k],
                                    static_cast<int>(x * (k + 1)), (left[k] + above[k]) / 2,
                                    above[k] + static_cast<int>(x / 8 + (seed >> 30))};
                p[k] = static_cast<uint8_t>(row[y % 5]);
            }
        }
    }
    return bgrx;
}

uint32_t BigEndian(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// The file's filtered rows, after checking every chunk's length and CRC and that IEND ends the
// file: its IDAT chunks joined and inflated, which also checks the stream's Adler-32.
std::vector<uint8_t> FilteredRows(const std::vector<uint8_t>& bytes, uint32_t width,
                                  uint32_t height) {
    const std::string file(bytes.begin(), bytes.end());
    std::string deflated;
    for (size_t at = 8; at + 12 <= file.size();) {
        const auto* chunk = reinterpret_cast<const uint8_t*>(&file[at]);
        const uint32_t length = BigEndian(chunk);
        if (length > file.size() - at - 12) {
            ADD_FAILURE() << "chunk longer than the file";
            return {};
        }
        EXPECT_EQ(crc32(0, chunk + 4, length + 4), BigEndian(chunk + 8 + length)) << at;
        if (file.compare(at + 4, 4, "IDAT") == 0) {
            deflated.append(file, at + 8, length);
        }
        at += 12 + length;
    }
    EXPECT_EQ(file.substr(file.size() - 8, 4), "IEND") << "the last chunk";
    std::vector<uint8_t> raw((size_t{width} * 3 + 1) * height);
    uLongf size = raw.size();
    EXPECT_EQ(uncompress(raw.data(), &size, reinterpret_cast<const Bytef*>(deflated.data()),
                         deflated.size()),
              Z_OK);
    EXPECT_EQ(size, raw.size());
    return raw;
}

// How many bands the program's reader decoded at once, reading the file back as the picture; 0
// when the pixels differ.
uint32_t BandsReadBack(const std::vector<uint8_t>& file, const PngPicture& picture) {
    PngLayout layout;
    if (!ScanPng(file.data(), file.size(), &layout)) {
        return 0;
    }
    std::vector<uint8_t> bgra(size_t{picture.width} * picture.height * 4);
    uint32_t atOnce = 0;
    if (!DecodePng(file.data(), file.size(), layout, bgra.data(), picture.width * 4, &atOnce)) {
        return 0;
    }
    for (uint32_t y = 0; y < picture.height; ++y) {
        for (uint32_t x = 0; x < picture.width; ++x) {
            const uint8_t* in = picture.pixels + y * picture.stride + x * 4;
            const uint8_t* out = &bgra[(size_t{y} * picture.width + x) * 4];
            if (in[0] != out[0] || in[1] != out[1] || in[2] != out[2] || out[3] != 255) {
                return 0;
            }
        }
    }
    return atOnce;
}

// A picture PNG cannot hold writes nothing. Otherwise the file is written as signature, IHDR,
// pHYs (unless dpi is 0), IDAT chunks and IEND, and a refusal of any of them ends the encoding
// there, also while bands are encoded on other threads. 800 by 800 takes several IDAT chunks and
// has rows for every filter.
TEST(PngEncoder, RefusesWhatPngCannotHoldAndStopsAtTheFirstWriteTheSinkRefuses) {
    const std::vector<uint8_t> pixels = MakeBgrx(800, 800);
    const uint8_t* bgrx = pixels.data();
    const struct Case {
        PngPicture picture;
        bool holds;
    } cases[] = {
        {{bgrx, 1, 1, 4, 96}, true},
        {{bgrx, 3, 7, 12, 0}, true},
        {{bgrx, 800, 800, 800 * 4, 96}, true},
        {{bgrx, 16384, 6, 16384 * 4, 120}, true},
        {{bgrx, 0, 4, 16, 96}, false},
        {{bgrx, 4, 0, 16, 96}, false},
        {{bgrx, 4, 4, 12, 96}, false},  // rows overlap
        {{nullptr, 4, 4, 16, 96}, false},
        {{bgrx, 0x80000000u, 1, size_t{0x80000000u} * 4, 96}, false},
    };
    for (const Case& c : cases) {
        const PngPicture& picture = c.picture;
        SCOPED_TRACE(testing::Message() << picture.width << "x" << picture.height);
        CollectSink whole;
        EXPECT_EQ(EncodePng(picture, whole), c.holds);
        EXPECT_EQ(whole.writes > 0, c.holds);
        if (c.holds) {
            const std::string file(whole.bytes.begin(), whole.bytes.end());
            EXPECT_EQ(file.find("pHYs") != std::string::npos, picture.dpi != 0);
            Rows rows(picture, 0);
            CollectSink byRows;
            EXPECT_TRUE(
                EncodePng({nullptr, picture.width, picture.height, 0, picture.dpi, &rows}, byRows));
            EXPECT_TRUE(byRows.bytes == whole.bytes);
            const std::vector<uint8_t> filtered =
                FilteredRows(whole.bytes, picture.width, picture.height);
            if (picture.width == 800) {
                std::set<int> filters;
                for (size_t at = 0; at < filtered.size(); at += 800 * 3 + 1) {
                    filters.insert(filtered[at]);
                }
                EXPECT_EQ(filters, (std::set<int>{0, 1, 2, 3, 4}));
            }
        }
        for (const uint32_t bands : {1u, 3u}) {
            PngPicture inBands = picture;
            inBands.bands = bands;
            CollectSink all;
            EncodePng(inBands, all);
            for (int refuse = 1; refuse <= all.writes; ++refuse) {
                CollectSink sink;
                sink.refuse = refuse;
                EXPECT_FALSE(EncodePng(inBands, sink)) << refuse << " in " << bands << " bands";
                EXPECT_EQ(sink.writes, refuse);
            }
        }
    }
}

// Bands (more than rows are as many as rows) filter as one piece does, but for each band's first
// row, which leaves out the row above it; their index lets the reader read them back at once.
// The same whether each band has a reader or a thread of its own or some share the caller's, and
// a missing row fails the file.
TEST(PngEncoder, BandsEncodeTheRowsAsOnePieceDoesAndReadBackAtOnce) {
    const std::vector<uint8_t> pixels = MakeBgrx(40, 50);
    const PngPicture pictures[] = {
        {pixels.data(), 1, 1, 4, 96},
        {pixels.data(), 3, 7, 12, 0},
        {pixels.data(), 5, 2, 40 * 4, 0},
        {pixels.data(), 37, 50, 40 * 4, 96},
    };
    for (const PngPicture& picture : pictures) {
        CollectSink onePiece;
        ASSERT_TRUE(EncodePng({picture.pixels, picture.width, picture.height, picture.stride,
                               picture.dpi, nullptr, 1},
                              onePiece));
        const std::vector<uint8_t> filtered =
            FilteredRows(onePiece.bytes, picture.width, picture.height);
        const size_t rowBytes = size_t{picture.width} * 3 + 1;
        for (const uint32_t bands : {2u, 3u, 8u}) {
            SCOPED_TRACE(testing::Message()
                         << picture.width << "x" << picture.height << " in " << bands << " bands");
            const uint32_t made = std::min(bands, picture.height);
            PngPicture inBands = picture;
            inBands.bands = bands;
            CollectSink held;
            EXPECT_TRUE(EncodePng(inBands, held));
            const std::vector<uint8_t> bandRows =
                FilteredRows(held.bytes, picture.width, picture.height);
            ASSERT_EQ(bandRows.size(), filtered.size());
            for (uint32_t band = 0, y = 0; y < picture.height; ++y) {
                const size_t at = y * rowBytes;
                if (band < made && y == uint64_t{picture.height} * band / made) {
                    ++band;
                    EXPECT_LE(bandRows[at], 1) << "row " << y << " starts a band";
                } else {
                    EXPECT_TRUE(std::equal(&bandRows[at], &bandRows[at] + rowBytes, &filtered[at]))
                        << "row " << y;
                }
            }
            EXPECT_EQ(BandsReadBack(held.bytes, picture), made);
            for (const uint32_t threads : {0u, 1u}) {
                for (const int readers : {0, 1, 8}) {
                    Rows rows(picture, readers);
                    inBands.rows = &rows;
                    inBands.threads = threads;
                    CollectSink read;
                    EXPECT_TRUE(EncodePng(inBands, read));
                    EXPECT_TRUE(read.bytes == held.bytes) << readers << " more readers";
                    Rows gap(picture, readers, picture.height - 1);
                    inBands.rows = &gap;
                    CollectSink failed;
                    EXPECT_FALSE(EncodePng(inBands, failed)) << readers << " more readers";
                }
            }
        }
    }
}

}  // namespace
