// Arbitrary bytes through the compressor must inflate back exactly. The first byte repeats the
// input up to 64 times, so that it outgrows the window and repeats from far back; the second
// picks the size of the pieces it is fed in.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_harness.h"
#include "imaging/deflate_stream.h"

namespace {

struct Collect : IByteSink {
    bool Write(const uint8_t* data, size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    std::vector<uint8_t> bytes;
};

}  // namespace

void Fuzz(const std::string& input) {
    const auto* data = reinterpret_cast<const uint8_t*>(input.data());
    const size_t size = input.size();
    std::vector<uint8_t> repeated;
    for (size_t copies = size > 0 ? data[0] % 64 + 1 : 1; copies > 0; --copies) {
        repeated.insert(repeated.end(), data, data + size);
    }
    const size_t piece = size > 1 ? size_t{data[1]} * 97 + 1 : 1;
    Collect sink;
    DeflateStream stream(sink);
    bool ok = stream.Start();
    for (size_t at = 0; ok && at < repeated.size(); at += piece) {
        ok = stream.Write(repeated.data() + at, std::min(piece, repeated.size() - at));
    }
    std::vector<uint8_t> back(repeated.size() + 1);
    uLongf backSize = back.size();
    Check(ok && stream.Finish() &&
          uncompress(back.data(), &backSize, sink.bytes.data(), sink.bytes.size()) == Z_OK &&
          std::equal(repeated.begin(), repeated.end(), back.begin(), back.begin() + backSize));
}
