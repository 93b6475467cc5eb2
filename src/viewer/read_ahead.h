#pragma once
// Reads the history image the user is likely to want next on a worker thread and holds it, so
// that a step to it paints at once; where room is left, the image the last step left is held
// too, for a step back. Used on the viewer's thread only; the worker gets a path and leaves a
// bitmap here.
#include <windows.h>

#include <cstdint>

#include "imaging/worker_thread.h"
#include "tessel/string_core.h"
#include "viewer/read_ahead_rules.h"
#include "win/scoped_win.h"

// Posted to the viewer by the worker when a read is done (wParam: the read's number); the
// bitmap itself stays in the reader, so none is lost with a window that is gone.
constexpr UINT WM_READ_AHEAD_DONE = WM_APP + 19;

class ReadAhead {
public:
    ReadAhead() = default;
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;
    // Waits for a read under way; every image still held goes with the reader.
    ~ReadAhead();

    // The user steps from the file `from`, whose image `shown` is, to the file `to`. The
    // shown image is held for a step back (taken out of `shown`) if it is the file's; the
    // image of `to` is given if it is held and still the file's, a read of it under way
    // waited for. Nullptr when the caller must read `to` itself, right after this call.
    HBITMAP Step(const Tessel::String& from, ScopedBitmap& shown, const Tessel::String& to);
    // Reads the file at path on a worker unless it is held or shown; `notify`, if any, gets
    // WM_READ_AHEAD_DONE. A read under way for another file finishes first.
    void Start(HWND notify, const Tessel::String& path);
    // On WM_READ_AHEAD_DONE: holds the image just read if it is still wanted, and starts the
    // read wanted since.
    void OnReadDone(WPARAM number);

private:
    struct Held {
        Tessel::String path;
        FileStamp stamp;
        ScopedBitmap image;
    };
    // Written by the worker until it is joined.
    struct Job {
        HWND notify = nullptr;
        WPARAM number = 0;
        Tessel::String path;
        FileStamp stamp;
        HBITMAP image = nullptr;
    };

    static void Read(void* job);
    // Joins the worker; its image is held when keep says so, else deleted.
    void Collect(bool keep);
    int32_t Find(const Tessel::String& path) const;
    void Drop(int32_t index);
    void MakeRoom(int32_t adding);

    Held held[kHeldImages];  // oldest first
    int32_t heldCount = 0;
    Tessel::String shownPath;
    FileStamp shownStamp;
    Tessel::String wanted;
    Job job;
    bool reading = false;
    WorkerThread worker;
};
