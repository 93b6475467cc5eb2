// WorkerThread on POSIX threads: the native build, where the portable code is tested.
#include <pthread.h>

#include <new>
#include <thread>

#include "imaging/worker_thread.h"

struct WorkerThread::Handle {
    static void* Run(void* self) {
        const Handle& handle = *static_cast<Handle*>(self);
        handle.run(handle.context);
        return nullptr;
    }

    pthread_t thread{};
    void (*run)(void*) = nullptr;
    void* context = nullptr;
};

bool WorkerThread::Start(void (*run)(void*), void* context) {
    Join();
    handle = new (std::nothrow) Handle{{}, run, context};
    if (handle != nullptr && pthread_create(&handle->thread, nullptr, Handle::Run, handle) != 0) {
        delete handle;
        handle = nullptr;
    }
    return handle != nullptr;
}

void WorkerThread::Join() {
    if (handle != nullptr) {
        pthread_join(handle->thread, nullptr);
        delete handle;
        handle = nullptr;
    }
}

uint32_t WorkerThread::Cores() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? cores : 1;
}
