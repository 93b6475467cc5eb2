#include "imaging/deflate_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "imaging/deflate_round_trip.h"
#include "imaging/huffman_lengths.h"

namespace {

// Random bytes, all of them or only those within `mask`.
std::vector<uint8_t> Noise(size_t size, uint32_t seed, uint8_t mask = 0xFF) {
    std::vector<uint8_t> bytes(size);
    for (uint8_t& byte : bytes) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(seed >> 24) & mask;
    }
    return bytes;
}

// Noise, then zeros, then the same noise again `distance` bytes after it.
std::vector<uint8_t> Echo(size_t distance) {
    std::vector<uint8_t> bytes = Noise(distance + 300, 5);
    std::fill(bytes.begin() + 300, bytes.begin() + distance, 0);
    std::copy_n(bytes.begin(), 300, bytes.begin() + distance);
    return bytes;
}

TEST(DeflateStream, InflatesBackWhateverThePiecesAndCompressesAsExpected) {
    struct Case {
        const char* name;
        std::vector<uint8_t> input;
        size_t largest;  // bytes out at most
    };
    const Case cases[] = {
        {"empty", {}, 8},
        {"one byte", {200}, 9},
        {"zeros: matches of 258, a run longer than the window", std::vector<uint8_t>(300000), 500},
        {"noise: no matches, many blocks", Noise(300000, 1), 300000 * 101 / 100},
        {"eight values at random: short matches from all over", Noise(200000, 7, 7), 90000},
        {"a match exactly 32 KiB back", Echo(32768), 450},
        {"one byte further back than the window", Echo(32769), 750},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> whole = Compress(c.input, c.input.size() + 1);
        EXPECT_TRUE(InflatesTo(whole, c.input));
        EXPECT_LE(whole.size(), c.largest);
        for (size_t piece : {size_t{1}, size_t{4097}}) {
            EXPECT_TRUE(Compress(c.input, piece) == whole) << "fed " << piece << " at a time";
        }
        for (size_t parts : {size_t{2}, size_t{3}}) {
            EXPECT_TRUE(InflatesTo(Compress(c.input, 4097, 0, parts), c.input))
                << parts << " parts";
        }
    }
}

TEST(DeflateStream, StopsWhenTheSinkRefuses) {
    for (int refuse = 1; refuse <= 3; ++refuse) {
        EXPECT_TRUE(Compress(Noise(100000, 3), 4097, refuse).empty()) << refuse;
    }
}

TEST(LimitedHuffmanLengths, BestCodeWithinTheLimit) {
    struct Case {
        std::vector<uint32_t> frequencies;
        int limit;
        std::vector<uint8_t> lengths;
    };
    const Case cases[] = {
        {{0, 0, 0}, 15, {1, 1, 0}},  // a complete code even with nothing to code
        {{0, 5, 0}, 15, {1, 1, 0}},      {{1, 1, 2, 4}, 15, {3, 3, 2, 1}},
        {{1, 1, 2, 4}, 2, {2, 2, 2, 2}}, {{1, 1, 2, 4, 8}, 3, {3, 3, 3, 3, 1}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> lengths(c.frequencies.size());
        LimitedHuffmanLengths(c.frequencies.data(), static_cast<int>(lengths.size()), c.limit,
                              lengths.data());
        EXPECT_EQ(lengths, c.lengths) << c.limit;
    }
    // Fibonacci frequencies make a code as deep as it has symbols, unless limited.
    for (const int limit : {7, 15}) {
        std::vector<uint32_t> frequencies = {1, 1};
        while (frequencies.size() < (limit == 7 ? 19u : 30u)) {
            frequencies.push_back(frequencies.end()[-1] + frequencies.end()[-2]);
        }
        std::vector<uint8_t> lengths(frequencies.size());
        LimitedHuffmanLengths(frequencies.data(), static_cast<int>(lengths.size()), limit,
                              lengths.data());
        uint32_t kraft = 0;  // in units of 2^-limit
        for (size_t s = 0; s < lengths.size(); ++s) {
            ASSERT_LE(lengths[s], limit);
            kraft += 1u << (limit - lengths[s]);
            EXPECT_TRUE(s == 0 || lengths[s] <= lengths[s - 1]) << "rarer symbols, longer codes";
        }
        EXPECT_EQ(kraft, 1u << limit);
        EXPECT_EQ(lengths[0], limit);
    }
}

}  // namespace
