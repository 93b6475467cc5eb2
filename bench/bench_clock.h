#pragma once
// The one clock of the benchmarks: the performance counter, in milliseconds. A counter value
// taken in another process (the message watch) converts the same way.
#include <windows.h>

#include <cstdint>

inline double CounterToMs(int64_t counter) {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    return static_cast<double>(counter) / ticksPerMs;
}

inline double NowMs() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return CounterToMs(now.QuadPart);
}
