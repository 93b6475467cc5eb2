#pragma once
// zlib streams made by the program itself for its PNG files: one greedy LZ77 pass over a 32 KiB
// window, fast enough to keep a capture's save short, then blocks coded with Huffman codes fitted
// to each (deflate_block_writer.h). Fed in pieces of any size and handing its output on in
// pieces, it holds about 270 KiB whatever the input's size, as much as zlib's deflate at its
// default memory level. A long input may also be cut into parts compressed on their own and
// joined (each part but the last ending on a byte boundary, as after zlib's sync flush), so that
// several cores share the work.
#include <cstddef>
#include <cstdint>

#include "imaging/deflate_block_writer.h"
#include "tessel/owned_ptr.h"

class DeflateStream {
public:
    explicit DeflateStream(IByteSink& sink);
    ~DeflateStream();
    DeflateStream(const DeflateStream&) = delete;
    DeflateStream& operator=(const DeflateStream&) = delete;

    // Allocates the buffers and writes the stream's header, unless this is a part after the
    // first. False when memory runs out or the sink refuses; so do the others, after which the
    // stream is of no further use.
    bool Start(bool header = true);
    // Takes the next bytes; their output may wait until more come.
    bool Write(const uint8_t* data, size_t size);
    // Ends the stream and hands out all that is left of it.
    bool Finish();
    // Ends a part: hands out all that is left of it, up to a byte boundary, the stream's last
    // block when `last` says so. The check sum is left to the caller, from each part's Adler().
    bool FinishPart(bool last);
    // The Adler-32 of the bytes written so far.
    uint32_t Adler() const;

private:
    struct Work;
    bool Compress(bool finishing);

    IByteSink& sink;
    Tessel::OwnedPtr<Work> work;
};
