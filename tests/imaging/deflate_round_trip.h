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

// The stream of `input` fed `piece` bytes at a time, cut into `parts` parts compressed on their
// own and joined as the PNG encoder joins its bands; empty when the compressor fails.
inline std::vector<uint8_t> Compress(const std::vector<uint8_t>& input, size_t piece,
                                     int refuse = 0, size_t parts = 1) {
    CollectSink sink;
    sink.refuse = refuse;
    uLong adler = 1;
    for (size_t part = 0; part < parts; ++part) {
        const size_t begin = input.size() * part / parts;
        const size_t end = input.size() * (part + 1) / parts;
        DeflateStream stream(sink);
        bool ok = stream.Start(part == 0);
        for (size_t at = begin; ok && at < end; at += piece) {
            ok = stream.Write(input.data() + at, std::min(piece, end - at));
        }
        if (!ok || !(parts == 1 ? stream.Finish() : stream.FinishPart(part + 1 == parts))) {
            return {};
        }
        adler = part == 0
                    ? stream.Adler()
                    : adler32_combine(adler, stream.Adler(), static_cast<z_off_t>(end - begin));
    }
    if (parts > 1) {
        const uint8_t trailer[4] = {static_cast<uint8_t>(adler >> 24),
                                    static_cast<uint8_t>(adler >> 16),
                                    static_cast<uint8_t>(adler >> 8), static_cast<uint8_t>(adler)};
        sink.bytes.insert(sink.bytes.end(), trailer, trailer + 4);
    }
    return sink.bytes;
}

// Whether the zlib stream inflates to exactly `expected`, with nothing left over.
inline bool InflatesTo(const std::vector<uint8_t>& compressed,
                       const std::vector<uint8_t>& expected) {
    std::vector<uint8_t> back(expected.size() + 1);
    uLongf size = back.size();
    return uncompress(back.data(), &size, compressed.data(), compressed.size()) == Z_OK &&
           std::equal(expected.begin(), expected.end(), back.begin(), back.begin() + size);
}
