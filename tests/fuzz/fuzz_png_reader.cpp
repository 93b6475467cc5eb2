// Hostile PNG files through the program's reader: whatever the bytes, it reads nothing outside
// the file and writes nothing outside the picture its header declared, and it ends. The first
// byte picks how the input becomes a file: as it stands; as the image data behind a small valid
// header (a hostile deflate stream); or deflated as that picture's rows (hostile filter types
// and samples). The next three give the small header's width, height and kind of pixel. A
// hostile stream may come with a band index of up to two bands after the first, taken from the
// start of the rest.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_harness.h"
#include "support/png_chunks.h"
#include "imaging/png_reader.h"

void Fuzz(const std::string& input) {
    const auto* data = reinterpret_cast<const uint8_t*>(input.data());
    if (input.size() < 4) {
        return;
    }
    const std::vector<uint8_t> rest(data + 4, data + input.size());
    std::vector<uint8_t> file = rest;
    if (data[0] % 3 != 0) {
        static const uint8_t kColorTypes[4] = {0, 4, 2, 6};
        FileParts parts;
        parts.width = data[1] % 64 + 1u;
        parts.height = data[2] % 64 + 1u;
        parts.colorType = kColorTypes[data[3] % 4];
        const size_t indexBytes =
            data[0] % 3 == 1 ? std::min<size_t>(rest.size(), data[0] / 3 % 3 * 8) : 0;
        if (indexBytes != 0) {
            parts.chunkType = "bdIX";
            parts.chunk.assign(rest.begin(), rest.begin() + indexBytes);
        }
        const std::vector<uint8_t> stream(rest.begin() + indexBytes, rest.end());
        parts.zlib = data[0] % 3 == 1 ? stream : Deflate(stream);
        file = MakeFile(parts);
    }
    PngLayout layout;
    if (!ScanPng(file.data(), file.size(), &layout)) {
        return;
    }
    // The header cannot promise more rows than its data could hold.
    const size_t rowBytes = size_t{layout.width} * 4;
    Check(uint64_t{layout.width} * layout.height <= (uint64_t{file.size()} + 1) * 1032);
    std::vector<uint8_t> pixels(rowBytes * layout.height);
    DecodePng(file.data(), file.size(), layout, pixels.data() + rowBytes * (layout.height - 1),
              -static_cast<ptrdiff_t>(rowBytes));
}
