#include "imaging/deflate_stream.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "imaging/huffman_lengths.h"

namespace {

struct Collect : IDeflateSink {
    bool Write(const uint8_t* data, size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
        return --writesLeft != 0;
    }
    std::vector<uint8_t> bytes;
    int writesLeft = -1;  // refuses the write that brings it to 0
};

// The stream of `input` fed `piece` bytes at a time; empty when the compressor fails.
std::vector<uint8_t> Compress(const std::vector<uint8_t>& input, size_t piece) {
    Collect sink;
    DeflateStream stream(sink);
    bool ok = stream.Start();
    for (size_t at = 0; ok && at < input.size(); at += piece) {
        ok = stream.Write(input.data() + at, std::min(piece, input.size() - at));
    }
    return ok && stream.Finish() ? sink.bytes : std::vector<uint8_t>();
}

std::vector<uint8_t> Inflate(const std::vector<uint8_t>& stream, size_t expected) {
    std::vector<uint8_t> out(expected + 1);
    uLongf size = out.size();
    const int result = uncompress(out.data(), &size, stream.data(), stream.size());
    out.resize(result == Z_OK ? size : 0);
    return out;
}

std::vector<uint8_t> Noise(size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    for (uint8_t& byte : bytes) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(seed >> 24);
    }
    return bytes;
}

std::vector<uint32_t> Fibonacci(size_t count) {
    std::vector<uint32_t> numbers = {1, 1};
    while (numbers.size() < count) {
        numbers.push_back(numbers.end()[-1] + numbers.end()[-2]);
    }
    return numbers;
}

// Noise, then zeros, then the same noise again `distance` bytes after it.
std::vector<uint8_t> Echo(size_t distance) {
    std::vector<uint8_t> bytes = Noise(300, 5);
    bytes.resize(distance);
    const std::vector<uint8_t> noise = Noise(300, 5);
    bytes.insert(bytes.end(), noise.begin(), noise.end());
    return bytes;
}

TEST(DeflateStream, InflatesBackWhateverThePiecesAndCompressesAsExpected) {
    struct Case {
        const char* name;
        std::vector<uint8_t> input;
        size_t largest;  // bytes out at most
    };
    std::vector<uint8_t> skewed;  // Fibonacci frequencies in a scrambled order
    const std::vector<uint32_t> frequencies = Fibonacci(20);
    for (size_t symbol = 0; symbol < frequencies.size(); ++symbol) {
        skewed.insert(skewed.end(), frequencies[symbol], static_cast<uint8_t>(symbol * 13));
    }
    for (size_t i = skewed.size() - 1, seed = 9; i > 0; --i) {
        seed = seed * 1664525u + 1013904223u;
        std::swap(skewed[i], skewed[(seed >> 8) % (i + 1)]);
    }
    std::vector<uint8_t> rows;  // runs, a repeating pattern and noise, row after row
    for (int y = 0; y < 40; ++y) {
        rows.insert(rows.end(), 3000 + y * 7, 0);
        for (int x = 0; x < 2000; ++x) {
            rows.push_back(static_cast<uint8_t>((x * x) >> (y % 5)));
        }
        const std::vector<uint8_t> noise = Noise(500, static_cast<uint32_t>(y));
        rows.insert(rows.end(), noise.begin(), noise.end());
    }
    const Case cases[] = {
        {"empty", {}, 8},
        {"one byte", {200}, 9},
        {"zeros: matches of 258, a run longer than the window", std::vector<uint8_t>(300000), 500},
        {"noise: no matches, many blocks", Noise(300000, 1), 300000 * 101 / 100},
        {"a match exactly 32 KiB back", Echo(32768), 450},
        {"one byte further back than the window", Echo(32769), 750},
        {"Fibonacci-skewed bytes", skewed, skewed.size() / 2},
        {"rows of runs, patterns and noise", rows, rows.size() / 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> whole = Compress(c.input, c.input.size() + 1);
        EXPECT_TRUE(Inflate(whole, c.input.size()) == c.input);
        EXPECT_LE(whole.size(), c.largest);
        for (size_t piece : {size_t{1}, size_t{4097}}) {
            EXPECT_TRUE(Compress(c.input, piece) == whole) << "fed " << piece << " at a time";
        }
    }
}

TEST(DeflateStream, StopsWhenTheSinkRefuses) {
    const std::vector<uint8_t> input = Noise(100000, 3);
    for (int writes = 1; writes <= 3; ++writes) {
        Collect sink;
        sink.writesLeft = writes;
        DeflateStream stream(sink);
        EXPECT_FALSE(stream.Start() && stream.Write(input.data(), input.size()) && stream.Finish())
            << writes;
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
        const std::vector<uint32_t> frequencies = Fibonacci(limit == 7 ? 19 : 30);
        std::vector<uint8_t> lengths(frequencies.size());
        LimitedHuffmanLengths(frequencies.data(), static_cast<int>(lengths.size()), limit,
                              lengths.data());
        uint32_t kraft = 0;  // in units of 2^-limit
        for (size_t s = 0; s < lengths.size(); ++s) {
            ASSERT_GE(lengths[s], 1);
            ASSERT_LE(lengths[s], limit);
            kraft += 1u << (limit - lengths[s]);
            EXPECT_TRUE(s == 0 || lengths[s] <= lengths[s - 1]) << "rarer symbols, longer codes";
        }
        EXPECT_EQ(kraft, 1u << limit);
        EXPECT_EQ(lengths[0], limit);
    }
}

}  // namespace
