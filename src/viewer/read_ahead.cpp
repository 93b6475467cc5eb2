#include "viewer/read_ahead.h"

#include <utility>

#include "imaging/image_file_reader.h"
#include "win/win_text.h"

namespace {

FileStamp StampOf(const Tessel::String& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(WStr(ToWide(path)), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return FileStamp{};
    }
    return FileStamp{true, static_cast<int64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow,
                     static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 |
                         data.ftLastWriteTime.dwLowDateTime};
}

}  // namespace

ReadAhead::~ReadAhead() {
    worker.Join();
    if (job.image) {
        DeleteObject(job.image);
    }
}

HBITMAP ReadAhead::Step(const Tessel::String& from, ScopedBitmap& shown, const Tessel::String& to) {
    if (reading && job.path == to) {
        Collect(true);
    }
    ScopedBitmap found;
    FileStamp foundStamp;
    const int32_t index = Find(to);
    if (index >= 0) {
        found.Reset(held[index].image.Release());
        foundStamp = held[index].stamp;
        Drop(index);
    }
    // A read under way may leave no room for it.
    if (shown && !from.IsEmpty() && from == shownPath && Find(from) < 0 &&
        (reading ? 1 : 0) < kHeldImages) {
        MakeRoom(1);
        held[heldCount++] = Held{from, shownStamp, ScopedBitmap(shown.Release())};
    }
    // Taken before the caller reads the file, so that a change during the read shows later.
    shownPath = to;
    shownStamp = StampOf(to);
    if (found && HeldImageCurrent(foundStamp, shownStamp)) {
        return found.Release();
    }
    return nullptr;
}

void ReadAhead::Start(HWND notify, const Tessel::String& path) {
    wanted = path;
    if (reading || path.IsEmpty() || path == shownPath || Find(path) >= 0) {
        return;
    }
    MakeRoom(1);
    job.notify = notify;
    ++job.number;
    // A block of its own: strings count their sharers without locks.
    job.path.Assign(path.CStr(), path.Length());
    job.stamp = FileStamp{};
    job.image = nullptr;
    reading = worker.Start(&ReadAhead::Read, &job);
}

void ReadAhead::OnReadDone(WPARAM number) {
    // A read that a step already collected has been followed by another one, still going.
    if (!reading || number != job.number) {
        return;
    }
    // A read that the user has walked away from is let go.
    Collect(job.path == wanted);
    Start(job.notify, wanted);
}

void ReadAhead::Read(void* context) {
    Job& job = *static_cast<Job*>(context);
    job.stamp = StampOf(job.path);
    job.image = ReadImageFile(job.path);
    if (job.notify != nullptr) {
        PostMessageW(job.notify, WM_READ_AHEAD_DONE, job.number, 0);
    }
}

void ReadAhead::Collect(bool keep) {
    worker.Join();
    reading = false;
    ScopedBitmap image(std::exchange(job.image, nullptr));
    if (image && keep) {
        MakeRoom(1);
        held[heldCount++] = Held{job.path, job.stamp, std::move(image)};
    }
}

int32_t ReadAhead::Find(const Tessel::String& path) const {
    for (int32_t i = 0; i < heldCount; ++i) {
        if (held[i].path == path) {
            return i;
        }
    }
    return -1;
}

void ReadAhead::Drop(int32_t index) {
    for (int32_t i = index; i + 1 < heldCount; ++i) {
        held[i] = std::move(held[i + 1]);
    }
    held[--heldCount] = Held{};
}

void ReadAhead::MakeRoom(int32_t adding) {
    for (int32_t drop = HeldImagesToDrop(heldCount, reading ? 1 : 0, adding); drop > 0; --drop) {
        Drop(0);
    }
}
