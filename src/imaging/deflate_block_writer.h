#pragma once
// The coding half of deflate: one block's literals and matches are kept until the block ends,
// then written with Huffman codes built from their own counts, or with the fixed codes when
// those come out smaller (short blocks).
#include <cstddef>
#include <cstdint>

#include "imaging/byte_sink.h"

constexpr int kDeflateLiteralCodes = 286;  // 256 bytes, the end of a block, 29 lengths
constexpr int kDeflateDistanceCodes = 30;

// About 80 KiB: kept on the heap, inside its user's state.
class DeflateBlockWriter {
public:
    // Symbols per block: larger blocks spread their code tables over more data, smaller ones
    // follow the content more closely.
    static constexpr size_t kBlockSymbols = size_t{1} << 14;

    explicit DeflateBlockWriter(IByteSink& sink);
    DeflateBlockWriter(const DeflateBlockWriter&) = delete;
    DeflateBlockWriter& operator=(const DeflateBlockWriter&) = delete;

    void Literal(uint8_t byte) {
        symbols[count++] = byte;
        ++literalCounts[byte];
    }
    // length 3..258, distance 1..32768.
    void Match(uint32_t length, uint32_t distance);
    bool Full() const { return count == kBlockSymbols; }

    // Writes the symbols recorded since the last block as one block, the stream's last when
    // `last` says so.
    bool WriteBlock(bool last);
    // A block of no bytes, which brings the stream to a byte boundary without ending it, so that
    // a part compressed on its own may follow.
    bool WriteEmptyStoredBlock();
    // Bytes outside the blocks (the stream's header and trailer), from the next byte boundary.
    bool WriteAligned(const uint8_t* data, size_t size);
    // Hands the sink everything written so far, the last byte filled up with zero bits.
    bool Flush();

private:
    struct Code;
    struct CodeLengthRuns;

    // Adds up to 57 bits; the next Put or Drain must come before 64 are pending.
    void Put(uint64_t value, unsigned bitCount) {
        pending |= value << pendingBits;
        pendingBits += bitCount;
    }
    // Moves the whole pending bytes out and passes full output on to the sink.
    bool Drain();
    bool WriteHeader(const CodeLengthRuns& runs);
    bool WriteSymbols(const Code& literals, const Code& distances);

    IByteSink& sink;
    size_t count = 0;
    uint32_t literalCounts[kDeflateLiteralCodes] = {};
    uint32_t distanceCounts[kDeflateDistanceCodes] = {};
    // A literal is its byte; a match is distance << 9 | length, never below 512.
    uint32_t symbols[kBlockSymbols];

    static constexpr size_t kOutBytes = size_t{1} << 14;
    uint8_t out[kOutBytes + 8];  // Drain stores 8 bytes at once
    size_t outUsed = 0;
    uint64_t pending = 0;
    unsigned pendingBits = 0;
};
