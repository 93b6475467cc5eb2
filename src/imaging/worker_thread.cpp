#include "imaging/worker_thread.h"

#include <new>
#include <thread>

#if __has_include(<pthread.h>)
#include <pthread.h>

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
#else
struct WorkerThread::Handle {};

bool WorkerThread::Start(void (*)(void*), void*) {
    return false;
}

void WorkerThread::Join() {}
#endif

uint32_t WorkerThread::Cores() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? cores : 1;
}
