#include "imaging/huffman_lengths.h"

#include <algorithm>

// Package-merge: at each of `limit` levels the lightest pairs of the level below are merged
// with the symbols themselves; the first 2n-2 items of the top level, unpacked, are the coins
// whose count per symbol is its code length. Only which items are symbols needs keeping per
// level, since the symbols among the first k items of a level are always the k' lightest.
void LimitedHuffmanLengths(const uint32_t* frequencies, int count, int limit, uint8_t* lengths) {
    // Used symbols, lightest first, each as weight << 16 | symbol so that ties keep one order.
    uint64_t order[kHuffmanMaxSymbols];
    int used = 0;
    for (int s = 0; s < count; ++s) {
        lengths[s] = 0;
        if (frequencies[s] != 0) {
            order[used++] = uint64_t{frequencies[s]} << 16 | static_cast<uint64_t>(s);
        }
    }
    for (int s = 0; used < 2; ++s) {
        if (frequencies[s] == 0) {
            order[used++] = static_cast<uint64_t>(s);
        }
    }
    std::sort(order, order + used);
    const auto weight = [&](int i) { return order[i] >> 16; };

    constexpr int kItems = 2 * kHuffmanMaxSymbols;
    uint64_t weights[2][kItems];
    bool isSymbol[kHuffmanMaxLimit][kItems];
    int size = used;
    for (int i = 0; i < used; ++i) {
        weights[0][i] = weight(i);
        isSymbol[0][i] = true;
    }
    for (int level = 1; level < limit; ++level) {
        const uint64_t* below = weights[(level - 1) & 1];
        uint64_t* items = weights[level & 1];
        const int pairs = size / 2;
        int symbol = 0;
        int pair = 0;
        size = 0;
        while (symbol < used || pair < pairs) {
            const uint64_t pairWeight =
                pair < pairs ? below[2 * pair] + below[2 * pair + 1] : UINT64_MAX;
            const bool takeSymbol = symbol < used && weight(symbol) <= pairWeight;
            if (takeSymbol) {
                items[size] = weight(symbol++);
            } else {
                items[size] = pairWeight;
                ++pair;
            }
            isSymbol[level][size++] = takeSymbol;
        }
    }
    int take = 2 * used - 2;
    for (int level = limit - 1; level >= 0; --level) {
        const int symbols =
            static_cast<int>(std::count(isSymbol[level], isSymbol[level] + take, true));
        for (int i = 0; i < symbols; ++i) {
            ++lengths[order[i] & 0xFFFF];
        }
        take = 2 * (take - symbols);
    }
}
