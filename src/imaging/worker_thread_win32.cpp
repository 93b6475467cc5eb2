// WorkerThread on the Windows thread API, so that every Windows compiler gets the same threads,
// whatever threading library its C++ runtime was built with.
#include <windows.h>

#include <process.h>

#include <new>

#include "imaging/worker_thread.h"

struct WorkerThread::Handle {
    // _beginthreadex rather than CreateThread: the thread may use the C runtime.
    static unsigned __stdcall Run(void* self) {
        const Handle& handle = *static_cast<Handle*>(self);
        handle.run(handle.context);
        return 0;
    }

    HANDLE thread = nullptr;
    void (*run)(void*) = nullptr;
    void* context = nullptr;
};

bool WorkerThread::Start(void (*run)(void*), void* context) {
    Join();
    handle = new (std::nothrow) Handle{nullptr, run, context};
    if (handle == nullptr) {
        return false;
    }
    handle->thread =
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, Handle::Run, handle, 0, nullptr));
    if (handle->thread == nullptr) {
        delete handle;
        handle = nullptr;
    }
    return handle != nullptr;
}

void WorkerThread::Join() {
    if (handle != nullptr) {
        WaitForSingleObject(handle->thread, INFINITE);
        CloseHandle(handle->thread);
        delete handle;
        handle = nullptr;
    }
}

uint32_t WorkerThread::Cores() {
    const DWORD cores = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
    return cores > 0 ? cores : 1;
}
