#pragma once
// A thread that runs one function and is always joined before it goes. Unlike std::thread it
// reports a thread the system cannot make instead of throwing, since the product code runs
// without exceptions. Windows threads in the Windows build, POSIX threads natively.
#include <cstdint>

class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread() { Join(); }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs run(context) on a new thread; false when none could be made, and the caller does the
    // work itself.
    bool Start(void (*run)(void*), void* context);
    // Waits for the thread, if one was started and not yet joined.
    void Join();

    // The processors the machine offers, at least 1.
    static uint32_t Cores();

private:
    struct Handle;
    Handle* handle = nullptr;
};
