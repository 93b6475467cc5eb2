#pragma once
// Wall and processor time of repeated steps, and their medians, for benchmarks that compare
// ways of doing the same work in one run.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "bench/bench_clock.h"

// Processor time of this process: other work on a shared machine does not count in it.
inline double CpuNow() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& t) {
        return static_cast<double>(uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// Wall and processor milliseconds of the runs of one step.
struct Timings {
    void Run(const auto& step) {
        const double wall = NowMs();
        const double cpu = CpuNow();
        step();
        wallMs.push_back(NowMs() - wall);
        cpuMs.push_back((CpuNow() - cpu) * 1000.0);
    }
    std::vector<double> wallMs;
    std::vector<double> cpuMs;
};

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline void Print(const char* name, const Timings& timings) {
    std::printf("%s: %.1f ms (processor %.1f ms, fastest %.1f ms)\n", name, Median(timings.wallMs),
                Median(timings.cpuMs),
                *std::min_element(timings.wallMs.begin(), timings.wallMs.end()));
}
