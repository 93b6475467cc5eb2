#pragma once
// One PNG file written on a worker thread while the user-interface thread goes on: the window
// that started it hears of the end by a posted message and takes the result with Finish.
#include <windows.h>

#include <cstdint>

#include "imaging/png_file.h"
#include "imaging/worker_thread.h"
#include "tessel/string_core.h"

class BackgroundPngWrite {
public:
    BackgroundPngWrite() = default;
    BackgroundPngWrite(const BackgroundPngWrite&) = delete;
    BackgroundPngWrite& operator=(const BackgroundPngWrite&) = delete;

    // Writes the bitmap to path as WritePngFile does, never replacing a file: a taken name
    // keeps the complete file under its temporary name. The bitmap must stay as it is until
    // Finish. Posts `done` to `window` at the end. With no thread to be had, the write runs here
    // and now.
    void Start(HBITMAP bitmap, const Tessel::String& path, uint32_t dpi, HWND window, UINT done);
    // A write started and not yet finished.
    bool Running() const { return running; }
    // Waits for the write and answers how it went; `temporary` is where a NameTaken file lies.
    PngFileResult Finish(Tessel::String& temporary);

private:
    static void Run(void* self);

    HBITMAP bitmap = nullptr;
    // The worker's own copies: a string's block belongs to one thread.
    Tessel::String path;
    Tessel::String kept;
    uint32_t dpi = 0;
    HWND window = nullptr;
    UINT done = 0;
    PngFileResult result = PngFileResult::Failed;
    bool running = false;
    WorkerThread thread;  // the last member: joined before the rest goes
};
