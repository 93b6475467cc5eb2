#pragma once
// How many images the viewer holds beside the shown one, and when an image read earlier may
// still be shown in place of its file.
#include <cstdint>

// A file as it was seen before it was read: a file replaced under the same name changes its
// size or its write time.
struct FileStamp {
    bool exists = false;
    int64_t size = 0;
    uint64_t writeTime = 0;
    bool operator==(const FileStamp&) const = default;
};

// Images held beside the shown one, counting a read still under way: the one read ahead. A
// second one, the image the last step left, made a step back instant, but beside the window's
// own surface a walk through 3840x2160 captures then took 133 MiB over an empty viewer, not 101.
inline constexpr int32_t kHeldImages = 1;

// How many of the held images, oldest first, give way before `adding` more are held while
// `reading` reads are under way.
int32_t HeldImagesToDrop(int32_t held, int32_t reading, int32_t adding);

// An image read from a file seen as `read` stands for the file seen now as `now`.
bool HeldImageCurrent(const FileStamp& read, const FileStamp& now);
