#include "imaging/background_png_write.h"

void BackgroundPngWrite::Start(HBITMAP image, const Tessel::String& target, uint32_t resolution,
                               HWND notify, UINT message) {
    bitmap = image;
    path = Tessel::String(target.CStr(), target.Length());
    kept = Tessel::String();
    dpi = resolution;
    window = notify;
    done = message;
    running = true;
    if (!thread.Start(Run, this)) {
        Run(this);
    }
}

PngFileResult BackgroundPngWrite::Finish(Tessel::String& temporary) {
    if (!running) {
        return PngFileResult::Failed;
    }
    thread.Join();
    running = false;
    temporary = kept;
    return result;
}

void BackgroundPngWrite::Run(void* self) {
    BackgroundPngWrite& write = *static_cast<BackgroundPngWrite*>(self);
    // One core stays with the window that shows the capture meanwhile: on two cores under Wine a
    // 3840x2160 capture's viewer painted up to 100 ms sooner so, and its file came 20 ms sooner.
    const uint32_t cores = WorkerThread::Cores();
    write.result = WritePngFile(write.bitmap, write.path, write.dpi, false, &write.kept,
                                cores > 1 ? cores - 1 : 1);
    PostMessageW(write.window, write.done, 0, 0);
}
