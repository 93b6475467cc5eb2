#include "imaging/deflate_stream.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cstring>

// Matches are measured by the lowest differing byte of two 8-byte loads.
static_assert(std::endian::native == std::endian::little);

namespace {

constexpr size_t kWindow = 32768;
constexpr uint32_t kMinMatch = 4;  // what the hash covers
constexpr uint32_t kMaxMatch = 258;
// Input is gathered this far beyond the window before a pass over it, so that the window moves
// back to the buffer's start once per this many bytes.
constexpr size_t kStep = size_t{1} << 15;
constexpr size_t kBuffer = kWindow + kStep;
// Each pass stops this far short of the data so that every match may reach its full length;
// only the last one runs to the end.
constexpr size_t kLookahead = kMaxMatch;
constexpr int kHashBits = 14;
constexpr int kWays = 2;  // positions remembered per hash, latest first
// Within a match from at most this far back (a run: background, a repeated pixel) the same four
// bytes recur every `distance` bytes, so remembering only its last kRunTail positions leaves the
// table as remembering all of them would, and long runs cost less.
constexpr uint32_t kShortPeriod = 8;
constexpr uint32_t kRunTail = kWays * kShortPeriod + kMinMatch - 1;

inline uint32_t Load32(const uint8_t* p) {
    uint32_t value;
    std::memcpy(&value, p, 4);
    return value;
}

inline uint64_t Load64(const uint8_t* p) {
    uint64_t value;
    std::memcpy(&value, p, 8);
    return value;
}

inline uint32_t Hash(uint32_t fourBytes) {
    return (fourBytes * 0x9E3779B1u) >> (32 - kHashBits);
}

// How many bytes at `a` equal those at `b`, known to match in the first four, up to `limit`.
// Reads up to 7 bytes beyond the limit.
inline uint32_t MatchLength(const uint8_t* a, const uint8_t* b, uint32_t limit) {
    for (uint32_t length = kMinMatch; length < limit; length += 8) {
        const uint64_t difference = Load64(a + length) ^ Load64(b + length);
        if (difference != 0) {
            return std::min(limit, length + (std::countr_zero(difference) >> 3));
        }
    }
    return limit;
}

}  // namespace

struct DeflateStream::Work {
    explicit Work(IByteSink& sink) : blocks(sink) {}

    // Remembers `position` (in the buffer) as the latest with these four bytes.
    void Insert(size_t position) {
        uint32_t* bucket = table + Hash(Load32(buffer + position)) * kWays;
        std::copy_backward(bucket, bucket + kWays - 1, bucket + kWays);
        bucket[0] = static_cast<uint32_t>(start + position);
    }

    DeflateBlockWriter blocks;
    uint32_t adler = 1;
    // The window, the bytes not yet compressed, and 8 bytes of room for reads past them.
    uint8_t buffer[kBuffer + 8] = {};
    size_t filled = 0;
    size_t position = 0;  // the next byte to compress
    uint64_t start = 0;   // the stream offset of buffer[0]
    // Stream offsets, cut to 32 bits: a stale one (or one from 4 GiB back) is caught by
    // comparing the bytes themselves.
    uint32_t table[(size_t{1} << kHashBits) * kWays] = {};
};

DeflateStream::DeflateStream(IByteSink& sink) : sink(sink) {}

DeflateStream::~DeflateStream() = default;

bool DeflateStream::Start(bool header) {
    work = Tessel::MakeOwned<Work>(sink);
    // 32 KiB window, deflate, and a check sum making the pair a multiple of 31.
    static const uint8_t kHeader[2] = {0x78, 0x5E};
    return work && (!header || work->blocks.WriteAligned(kHeader, sizeof(kHeader)));
}

bool DeflateStream::Write(const uint8_t* data, size_t size) {
    Work& w = *work;
    while (size != 0) {
        if (w.filled == kBuffer) {
            if (!Compress(false)) {
                return false;
            }
            const size_t drop = w.position - std::min(w.position, kWindow);
            std::memmove(w.buffer, w.buffer + drop, w.filled - drop);
            w.filled -= drop;
            w.position -= drop;
            w.start += drop;
        }
        const size_t piece = std::min(size, kBuffer - w.filled);
        std::memcpy(w.buffer + w.filled, data, piece);
        w.adler = static_cast<uint32_t>(adler32(w.adler, data, static_cast<uInt>(piece)));
        w.filled += piece;
        data += piece;
        size -= piece;
    }
    return true;
}

bool DeflateStream::Finish() {
    const uint32_t adler = work->adler;
    const uint8_t trailer[4] = {static_cast<uint8_t>(adler >> 24),
                                static_cast<uint8_t>(adler >> 16), static_cast<uint8_t>(adler >> 8),
                                static_cast<uint8_t>(adler)};
    return FinishPart(true) && work->blocks.WriteAligned(trailer, sizeof(trailer)) &&
           work->blocks.Flush();
}

bool DeflateStream::FinishPart(bool last) {
    DeflateBlockWriter& blocks = work->blocks;
    return Compress(true) && blocks.WriteBlock(last) && (last || blocks.WriteEmptyStoredBlock()) &&
           blocks.Flush();
}

uint32_t DeflateStream::Adler() const {
    return work->adler;
}

// Greedy: the longest match among the positions the hash remembers, else a literal.
bool DeflateStream::Compress(bool finishing) {
    Work& w = *work;
    const uint8_t* buffer = w.buffer;
    const size_t filled = w.filled;
    const size_t stop = finishing ? filled : filled - std::min(filled, kLookahead);
    size_t position = w.position;
    while (position < stop) {
        const size_t left = filled - position;
        uint32_t best = 0;
        uint32_t distance = 0;
        if (left >= kMinMatch) {
            const uint32_t next = Load32(buffer + position);
            uint32_t* bucket = w.table + Hash(next) * kWays;
            const uint32_t here = static_cast<uint32_t>(w.start + position);
            const uint32_t reach = static_cast<uint32_t>(std::min(position, kWindow));
            const uint32_t limit = static_cast<uint32_t>(std::min<size_t>(left, kMaxMatch));
            for (int way = 0; way < kWays; ++way) {
                const uint32_t back = here - bucket[way];
                if (back - 1 < reach && Load32(buffer + position - back) == next) {
                    const uint32_t length =
                        MatchLength(buffer + position, buffer + position - back, limit);
                    if (length > best) {
                        best = length;
                        distance = back;
                    }
                }
            }
            std::copy_backward(bucket, bucket + kWays - 1, bucket + kWays);
            bucket[0] = here;
        }
        if (best >= kMinMatch) {
            w.blocks.Match(best, distance);
            const size_t end = position + best;
            const uint32_t remember = distance <= kShortPeriod ? kRunTail : best;
            for (size_t p = end - std::min(best - 1, remember); p < end; ++p) {
                w.Insert(p);
            }
            position += best;
        } else {
            w.blocks.Literal(buffer[position]);
            ++position;
        }
        if (w.blocks.Full() && !w.blocks.WriteBlock(false)) {
            return false;
        }
    }
    w.position = position;
    return true;
}
