// The PNG encoder's own deflate beside zlib's as the encoder used it before (level 4 tuned to
// 4, 4, 16, 8), on the realistic screens bench/deflate_bench.sh draws. For each picture: the
// processor time (best of 5) and size of both compressors over the encoder's filtered rows, fed
// one row at a time as the encoder feeds them, and of the whole encoder in one band; then the
// encoder's wall time in bands (one per core) beside one band. Natively built for speed.
// Usage: deflate_bench PICTURE.ppm...
#include <zlib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <cstring>
#include <vector>

#include "imaging/deflate_stream.h"
#include "imaging/png_encoder.h"

namespace {

constexpr int kRuns = 5;
constexpr size_t kChunkData = size_t{1} << 18;  // the encoder's IDAT size

struct Picture {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> bgrx;
};

bool ReadPpm(const char* path, Picture& picture) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    unsigned maxValue = 0;
    const bool header =
        std::fscanf(file, "P6 %u %u %u", &picture.width, &picture.height, &maxValue) == 3 &&
        maxValue == 255 && std::fgetc(file) != EOF;
    std::vector<uint8_t> rgb(size_t{picture.width} * picture.height * 3);
    const bool read = header && std::fread(rgb.data(), 1, rgb.size(), file) == rgb.size();
    std::fclose(file);
    picture.bgrx.assign(rgb.size() / 3 * 4, 0);
    for (size_t i = 0, o = 0; i < rgb.size(); i += 3, o += 4) {
        picture.bgrx[o] = rgb[i + 2];
        picture.bgrx[o + 1] = rgb[i + 1];
        picture.bgrx[o + 2] = rgb[i];
    }
    return read;
}

// The best processor time of kRuns runs, in milliseconds.
template <class Step>
double BestMs(const Step& step) {
    double best = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        const std::clock_t begin = std::clock();
        step();
        const double ms = 1000.0 * static_cast<double>(std::clock() - begin) / CLOCKS_PER_SEC;
        best = ms < best ? ms : best;
    }
    return best;
}

// The best wall time of kRuns runs, in milliseconds: bands on other cores do not show in the
// processor time of the calling thread alone.
template <class Step>
double BestWallMs(const Step& step) {
    double best = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        const auto begin = std::chrono::steady_clock::now();
        step();
        const std::chrono::duration<double, std::milli> ms =
            std::chrono::steady_clock::now() - begin;
        best = ms.count() < best ? ms.count() : best;
    }
    return best;
}

struct FileSink : IByteSink {
    bool Write(const uint8_t* data, size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    std::vector<uint8_t> bytes;
};

struct StreamSink : IByteSink {
    bool Write(const uint8_t* data, size_t size) override {
        if (keep) {
            bytes.insert(bytes.end(), data, data + size);
        }
        total += size;
        return true;
    }
    bool keep = false;
    std::vector<uint8_t> bytes;
    size_t total = 0;
};

uint32_t BigEndian(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// The encoder's filtered rows: the file's IDAT chunks, inflated.
std::vector<uint8_t> FilteredRows(const std::vector<uint8_t>& file, size_t size) {
    std::vector<uint8_t> stream;
    for (size_t at = 8; at + 12 <= file.size(); at += 12 + BigEndian(&file[at])) {
        if (std::memcmp(&file[at + 4], "IDAT", 4) == 0) {
            stream.insert(stream.end(), &file[at + 8], &file[at + 8] + BigEndian(&file[at]));
        }
    }
    std::vector<uint8_t> rows(size);
    uLongf length = size;
    if (uncompress(rows.data(), &length, stream.data(), stream.size()) != Z_OK || length != size) {
        rows.clear();
    }
    return rows;
}

// zlib as the encoder drove it: a row in at a time, output gathered 256 KiB at a time.
size_t ZlibTuned(const std::vector<uint8_t>& rows, size_t rowBytes) {
    static uint8_t out[kChunkData];
    z_stream stream{};
    deflateInit2(&stream, 4, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
    deflateTune(&stream, 4, 4, 16, 8);
    size_t total = 0;
    stream.next_out = out;
    stream.avail_out = kChunkData;
    for (size_t at = 0; at <= rows.size(); at += rowBytes) {
        const bool last = at == rows.size();
        stream.next_in = const_cast<Bytef*>(rows.data() + at);
        stream.avail_in = last ? 0 : static_cast<uInt>(rowBytes);
        while (deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH) != Z_STREAM_END &&
               stream.avail_out == 0) {
            total += kChunkData;
            stream.next_out = out;
            stream.avail_out = kChunkData;
        }
        if (last) {
            total += kChunkData - stream.avail_out;
        }
    }
    deflateEnd(&stream);
    return total;
}

bool Ours(const std::vector<uint8_t>& rows, size_t rowBytes, StreamSink& sink) {
    DeflateStream stream(sink);
    if (!stream.Start()) {
        return false;
    }
    for (size_t at = 0; at < rows.size(); at += rowBytes) {
        if (!stream.Write(rows.data() + at, rowBytes)) {
            return false;
        }
    }
    return stream.Finish();
}

size_t Chunks(size_t stream) {
    return (stream + kChunkData - 1) / kChunkData;
}

bool Measure(const char* path) {
    Picture picture;
    if (!ReadPpm(path, picture)) {
        std::printf("%s: not a binary PPM\n", path);
        return false;
    }
    PngPicture png{picture.bgrx.data(), picture.width, picture.height, size_t{picture.width} * 4,
                   96};
    png.bands = 1;
    FileSink file;
    const double encoderMs = BestMs([&] {
        file.bytes.clear();
        EncodePng(png, file);
    });
    const size_t rowBytes = size_t{picture.width} * 3 + 1;
    const std::vector<uint8_t> rows = FilteredRows(file.bytes, rowBytes * picture.height);
    StreamSink check;
    check.keep = true;
    std::vector<uint8_t> back(rows.size());
    uLongf backSize = back.size();
    if (rows.empty() || !Ours(rows, rowBytes, check) ||
        uncompress(back.data(), &backSize, check.bytes.data(), check.bytes.size()) != Z_OK ||
        back != rows) {
        std::printf("%s: the round trip failed\n", path);
        return false;
    }

    size_t zlibBytes = 0;
    const double zlibMs = BestMs([&] { zlibBytes = ZlibTuned(rows, rowBytes); });
    size_t ourBytes = 0;
    const double ourMs = BestMs([&] {
        StreamSink sink;
        Ours(rows, rowBytes, sink);
        ourBytes = sink.total;
    });
    // The same file with zlib's stream in place of ours, and its chunk headers.
    const size_t zlibFile =
        file.bytes.size() - ourBytes - 12 * Chunks(ourBytes) + zlibBytes + 12 * Chunks(zlibBytes);
    std::printf("%ux%u, %zu filtered bytes; processor time, best of %d\n", picture.width,
                picture.height, rows.size(), kRuns);
    std::printf("  deflate  zlib level 4 tuned    %7.1f ms  %9zu bytes\n", zlibMs, zlibBytes);
    std::printf(
        "  deflate  DeflateStream         %7.1f ms  %9zu bytes  (%.3fx the size, %.2fx "
        "the time)\n",
        ourMs, ourBytes, static_cast<double>(ourBytes) / zlibBytes, ourMs / zlibMs);
    std::printf("  EncodePng with zlib (derived)  %7.1f ms  %9zu bytes\n",
                encoderMs - ourMs + zlibMs, zlibFile);
    std::printf("  EncodePng                      %7.1f ms  %9zu bytes  (filtering %.1f ms)\n",
                encoderMs, file.bytes.size(), encoderMs - ourMs);

    const double oneBandWallMs = BestWallMs([&] {
        file.bytes.clear();
        EncodePng(png, file);
    });
    png.bands = 0;
    FileSink bands;
    const double bandsWallMs = BestWallMs([&] {
        bands.bytes.clear();
        EncodePng(png, bands);
    });
    const double bandsMs = BestMs([&] {
        bands.bytes.clear();
        EncodePng(png, bands);
    });
    std::printf("wall time, best of %d; processor time of all threads in bands %.1f ms\n", kRuns,
                bandsMs);
    std::printf("  EncodePng in one band          %7.1f ms  %9zu bytes\n", oneBandWallMs,
                file.bytes.size());
    std::printf(
        "  EncodePng in bands             %7.1f ms  %9zu bytes  (%.2fx the time, %.4fx the size)\n",
        bandsWallMs, bands.bytes.size(), bandsWallMs / oneBandWallMs,
        static_cast<double>(bands.bytes.size()) / static_cast<double>(file.bytes.size()));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    bool measured = argc > 1;
    for (int i = 1; i < argc; ++i) {
        measured = Measure(argv[i]) && measured;
    }
    return measured ? 0 : 1;
}
