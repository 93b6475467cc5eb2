#pragma once
// Code lengths of the best prefix code whose codes are no longer than a limit, as deflate's
// dynamic blocks need them: 15 bits for literals, lengths and distances, 7 for the code lengths.
#include <cstdint>

constexpr int kHuffmanMaxSymbols = 288;
constexpr int kHuffmanMaxLimit = 15;

// Fills lengths[0..count) for the given frequencies: unused symbols get 0, the others lengths of
// at most `limit` bits that make the coded size smallest. The code is always complete, as
// inflaters demand: when fewer than two symbols are used, the first unused ones make up two
// codes of one bit. 2 <= count <= kHuffmanMaxSymbols, count <= 2^limit, limit <= kHuffmanMaxLimit.
void LimitedHuffmanLengths(const uint32_t* frequencies, int count, int limit, uint8_t* lengths);
