#include "imaging/deflate_block_writer.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>

#include "imaging/huffman_lengths.h"

// Bits leave the accumulator as one 8-byte store, least significant byte first.
static_assert(std::endian::native == std::endian::little);

namespace {

constexpr int kEndOfBlock = 256;
constexpr int kCodeLengthCodes = 19;
constexpr int kMaxBits = 15;
constexpr int kMaxCodeLengthBits = 7;

// Lengths 3..258 and distances 1..32768 as a code plus extra bits.
constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                      15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                      67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a dynamic header lists the code length code's own lengths.
constexpr uint8_t kCodeLengthOrder[kCodeLengthCodes] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                        11, 4,  12, 3, 13, 2, 14, 1, 15};
constexpr uint8_t kRunExtra[3] = {2, 3, 7};  // codes 16, 17 and 18

constexpr auto kLengthCode = [] {
    struct {
        uint8_t of[259] = {};
    } table;
    int code = 0;
    for (int length = 3; length <= 258; ++length) {
        while (code < 28 && length >= kLengthBase[code + 1]) {
            ++code;
        }
        table.of[length] = static_cast<uint8_t>(code);
    }
    return table;
}();

inline int DistanceCode(uint32_t distance) {
    const uint32_t d = distance - 1;
    if (d < 4) {
        return static_cast<int>(d);
    }
    const int top = std::bit_width(d) - 1;  // two codes per power of two
    return 2 * top + static_cast<int>((d >> (top - 1)) & 1);
}

uint64_t CodedBits(const uint32_t* counts, const uint8_t* lengths, int symbols) {
    uint64_t bits = 0;
    for (int s = 0; s < symbols; ++s) {
        bits += uint64_t{counts[s]} * lengths[s];
    }
    return bits;
}

}  // namespace

// One alphabet's canonical codes, bit-reversed since deflate sends a code's top bit first.
struct DeflateBlockWriter::Code {
    // Codes for the lengths already in `lengths`.
    constexpr void Assign(int symbols) {
        uint16_t perLength[kMaxBits + 1] = {};
        for (int s = 0; s < symbols; ++s) {
            ++perLength[lengths[s]];
        }
        perLength[0] = 0;
        uint16_t next[kMaxBits + 1] = {};
        for (int bits = 1, code = 0; bits <= kMaxBits; ++bits) {
            code = (code + perLength[bits - 1]) << 1;
            next[bits] = static_cast<uint16_t>(code);
        }
        for (int s = 0; s < symbols; ++s) {
            const int length = lengths[s];
            uint32_t code = length != 0 ? next[length]++ : 0;
            uint16_t reversed = 0;
            for (int i = 0; i < length; ++i, code >>= 1) {
                reversed = static_cast<uint16_t>(reversed << 1 | (code & 1));
            }
            codes[s] = reversed;
        }
    }

    // The codes of blocks without a code table.
    static constexpr Code Fixed(bool literals) {
        Code code;
        // All 288 literal codes count in the canonical order, though 286 and 287 are never sent.
        for (int s = 0; s < kHuffmanMaxSymbols; ++s) {
            const int literalLength = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
            code.lengths[s] = static_cast<uint8_t>(literals ? literalLength : 5);
        }
        code.Assign(literals ? kHuffmanMaxSymbols : kDeflateDistanceCodes);
        return code;
    }

    uint16_t codes[kHuffmanMaxSymbols] = {};
    uint8_t lengths[kHuffmanMaxSymbols] = {};
};

// A dynamic block's code table: the literal and distance code lengths as one sequence, runs in
// it shortened with codes 16 (the last length 3-6 more times), 17 (3-10 zeros) and 18 (11-138
// zeros), and the code that codes this sequence.
struct DeflateBlockWriter::CodeLengthRuns {
    CodeLengthRuns(const Code& literals, const Code& distances) {
        while (literalCount > 257 && literals.lengths[literalCount - 1] == 0) {
            --literalCount;
        }
        while (distanceCount > 1 && distances.lengths[distanceCount - 1] == 0) {
            --distanceCount;
        }
        uint8_t sequence[kDeflateLiteralCodes + kDeflateDistanceCodes];
        std::memcpy(sequence, literals.lengths, literalCount);
        std::memcpy(sequence + literalCount, distances.lengths, distanceCount);
        const int total = literalCount + distanceCount;
        for (int i = 0; i < total;) {
            const uint8_t value = sequence[i];
            int run = 1;
            while (i + run < total && sequence[i + run] == value) {
                ++run;
            }
            i += run;
            if (value == 0) {
                for (; run >= 11; run -= std::min(run, 138)) {
                    Add(18, std::min(run, 138) - 11);
                }
                if (run >= 3) {
                    Add(17, run - 3);
                    run = 0;
                }
            } else {
                Add(value, 0);
                for (--run; run >= 3; run -= std::min(run, 6)) {
                    Add(16, std::min(run, 6) - 3);
                }
            }
            for (; run > 0; --run) {
                Add(value, 0);
            }
        }
        LimitedHuffmanLengths(counts, kCodeLengthCodes, kMaxCodeLengthBits, code.lengths);
        code.Assign(kCodeLengthCodes);
        while (orderCount > 4 && code.lengths[kCodeLengthOrder[orderCount - 1]] == 0) {
            --orderCount;
        }
        bits = 5 + 5 + 4 + 3 * orderCount;
        for (int i = 0; i < runCount; ++i) {
            bits += code.lengths[runs[i]] + (runs[i] >= 16 ? kRunExtra[runs[i] - 16] : 0);
        }
    }

    void Add(int symbol, int extra) {
        runs[runCount] = static_cast<uint8_t>(symbol);
        extras[runCount++] = static_cast<uint8_t>(extra);
        ++counts[symbol];
    }

    int literalCount = kDeflateLiteralCodes;
    int distanceCount = kDeflateDistanceCodes;
    int orderCount = kCodeLengthCodes;  // code length code lengths sent
    int runCount = 0;
    uint8_t runs[kDeflateLiteralCodes + kDeflateDistanceCodes];
    uint8_t extras[kDeflateLiteralCodes + kDeflateDistanceCodes];
    uint32_t counts[kCodeLengthCodes] = {};
    Code code;
    uint64_t bits = 0;  // the whole table
};

DeflateBlockWriter::DeflateBlockWriter(IByteSink& sink) : sink(sink) {}

void DeflateBlockWriter::Match(uint32_t length, uint32_t distance) {
    symbols[count++] = distance << 9 | length;
    ++literalCounts[257 + kLengthCode.of[length]];
    ++distanceCounts[DistanceCode(distance)];
}

bool DeflateBlockWriter::Drain() {
    std::memcpy(out + outUsed, &pending, 8);
    outUsed += pendingBits >> 3;
    pending >>= pendingBits & ~7u;
    pendingBits &= 7;
    if (outUsed < kOutBytes) {
        return true;
    }
    const bool written = sink.Write(out, outUsed);
    outUsed = 0;
    return written;
}

bool DeflateBlockWriter::WriteBlock(bool last) {
    literalCounts[kEndOfBlock] = 1;
    Code literals;
    Code distances;
    LimitedHuffmanLengths(literalCounts, kDeflateLiteralCodes, kMaxBits, literals.lengths);
    LimitedHuffmanLengths(distanceCounts, kDeflateDistanceCodes, kMaxBits, distances.lengths);
    const CodeLengthRuns runs(literals, distances);

    static constexpr Code kFixedLiterals = Code::Fixed(true);
    static constexpr Code kFixedDistances = Code::Fixed(false);
    const uint64_t dynamicBits =
        runs.bits + CodedBits(literalCounts, literals.lengths, kDeflateLiteralCodes) +
        CodedBits(distanceCounts, distances.lengths, kDeflateDistanceCodes);
    const uint64_t fixedBits =
        CodedBits(literalCounts, kFixedLiterals.lengths, kDeflateLiteralCodes) +
        CodedBits(distanceCounts, kFixedDistances.lengths, kDeflateDistanceCodes);
    const bool fixed = fixedBits <= dynamicBits;
    Put((last ? 1u : 0u) | (fixed ? 1u : 2u) << 1, 3);
    bool written;
    if (fixed) {
        written = WriteSymbols(kFixedLiterals, kFixedDistances);
    } else {
        literals.Assign(kDeflateLiteralCodes);
        distances.Assign(kDeflateDistanceCodes);
        written = WriteHeader(runs) && WriteSymbols(literals, distances);
    }
    count = 0;
    std::fill(std::begin(literalCounts), std::end(literalCounts), 0);
    std::fill(std::begin(distanceCounts), std::end(distanceCounts), 0);
    return written;
}

bool DeflateBlockWriter::WriteHeader(const CodeLengthRuns& runs) {
    Put(static_cast<uint64_t>(runs.literalCount - 257) |
            static_cast<uint64_t>(runs.distanceCount - 1) << 5 |
            static_cast<uint64_t>(runs.orderCount - 4) << 10,
        14);
    for (int i = 0; i < runs.orderCount; ++i) {
        Put(runs.code.lengths[kCodeLengthOrder[i]], 3);
        if (!Drain()) {
            return false;
        }
    }
    for (int i = 0; i < runs.runCount; ++i) {
        const int symbol = runs.runs[i];
        Put(runs.code.codes[symbol], runs.code.lengths[symbol]);
        if (symbol >= 16) {
            Put(runs.extras[i], kRunExtra[symbol - 16]);
        }
        if (!Drain()) {
            return false;
        }
    }
    return true;
}

bool DeflateBlockWriter::WriteSymbols(const Code& literals, const Code& distances) {
    for (size_t i = 0; i < count; ++i) {
        const uint32_t symbol = symbols[i];
        const uint32_t distance = symbol >> 9;
        if (distance == 0) {
            Put(literals.codes[symbol], literals.lengths[symbol]);
        } else {
            const uint32_t length = symbol & 511;
            const int lengthCode = kLengthCode.of[length];
            const int literal = 257 + lengthCode;
            Put(literals.codes[literal] | uint64_t{length - kLengthBase[lengthCode]}
                                              << literals.lengths[literal],
                literals.lengths[literal] + kLengthExtra[lengthCode]);
            const int distanceCode = DistanceCode(distance);
            Put(distances.codes[distanceCode] | uint64_t{distance - kDistanceBase[distanceCode]}
                                                    << distances.lengths[distanceCode],
                distances.lengths[distanceCode] + kDistanceExtra[distanceCode]);
        }
        if (!Drain()) {
            return false;
        }
    }
    Put(literals.codes[kEndOfBlock], literals.lengths[kEndOfBlock]);
    return Drain();
}

bool DeflateBlockWriter::WriteEmptyStoredBlock() {
    Put(0, 3);  // not the last block, stored
    // Its length and the length's complement, from the next byte boundary.
    static const uint8_t kEmpty[4] = {0x00, 0x00, 0xFF, 0xFF};
    return WriteAligned(kEmpty, sizeof(kEmpty));
}

bool DeflateBlockWriter::WriteAligned(const uint8_t* data, size_t size) {
    pendingBits = (pendingBits + 7) & ~7u;
    for (size_t i = 0; i < size; ++i) {
        Put(data[i], 8);
        if (!Drain()) {
            return false;
        }
    }
    return Drain();
}

bool DeflateBlockWriter::Flush() {
    pendingBits = (pendingBits + 7) & ~7u;
    if (!Drain()) {
        return false;
    }
    const bool written = outUsed == 0 || sink.Write(out, outUsed);
    outUsed = 0;
    return written;
}
