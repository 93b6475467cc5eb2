// Arbitrary bytes through the compressor must inflate back exactly. The first byte repeats the
// input up to 64 times, so that it outgrows the window and repeats from far back; the second
// picks the size of the pieces it is fed in, the third how many parts it is cut into.
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_harness.h"
#include "imaging/deflate_round_trip.h"

void Fuzz(const std::string& input) {
    const auto* data = reinterpret_cast<const uint8_t*>(input.data());
    const size_t size = input.size();
    std::vector<uint8_t> repeated;
    for (size_t copies = size > 0 ? data[0] % 64 + 1 : 1; copies > 0; --copies) {
        repeated.insert(repeated.end(), data, data + size);
    }
    const size_t piece = size > 1 ? size_t{data[1]} * 97 + 1 : 1;
    const size_t parts = size > 2 ? data[2] % 4 + 1 : 1;
    Check(InflatesTo(Compress(repeated, piece, 0, parts), repeated));
}
