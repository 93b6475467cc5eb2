#include "viewer/read_ahead_rules.h"

int32_t HeldImagesToDrop(int32_t held, int32_t reading, int32_t adding) {
    const int32_t over = held + reading + adding - kHeldImages;
    return over < 0 ? 0 : (over > held ? held : over);
}

bool HeldImageCurrent(const FileStamp& read, const FileStamp& now) {
    return read.exists && read == now;
}
