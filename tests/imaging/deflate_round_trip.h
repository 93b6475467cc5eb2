#pragma once
// The compressor's output kept whole and inflated back with zlib, shared by the stream's tests,
// the PNG encoder's and the fuzzer.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "imaging/byte_sink.h"
#include "imaging/deflate_stream.h"

// Keeps every write and refuses only the one numbered `refuse` (from 1), so that a writer which
// forgets a refusal once later writes succeed again is caught.
struct CollectSink : IByteSink {
    bool Write(const uint8_t* data, size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
        return ++writes != refuse;
    }
    std::vector<uint8_t> bytes;
    int refuse = 0;
    int writes = 0;
};

// The stream of `input` fed `piece` bytes at a time; empty when the compressor fails.
inline std::vector<uint8_t> Compress(const std::vector<uint8_t>& input, size_t piece,
                                     int refuse = 0) {
    CollectSink sink;
    sink.refuse = refuse;
    DeflateStream stream(sink);
    bool ok = stream.Start();
    for (size_t at = 0; ok && at < input.size(); at += piece) {
        ok = stream.Write(input.data() + at, std::min(piece, input.size() - at));
    }
    return ok && stream.Finish() ? sink.bytes : std::vector<uint8_t>();
}

// Whether the zlib stream inflates to exactly `expected`, with nothing left over.
inline bool InflatesTo(const std::vector<uint8_t>& compressed,
                       const std::vector<uint8_t>& expected) {
    std::vector<uint8_t> back(expected.size() + 1);
    uLongf size = back.size();
    return uncompress(back.data(), &size, compressed.data(), compressed.size()) == Z_OK &&
           std::equal(expected.begin(), expected.end(), back.begin(), back.begin() + size);
}
