// Walking the history as a user does, through the real program: a history of eight 3840x2160
// captures made from a realistic screen picture (each the picture turned sideways by another
// eighth, so that no two files are alike), written by the program's own encoder. For each run,
// "glimpser.exe /open" is started with CreateProcess, as the tray starts it; the figures are
// the time to the viewer's first paint (its image shown, its loop taking input), a cold step
// (Previous right after that paint) and warm steps (Previous 400 ms apart), each from the
// posted command to the end of the paint it causes, and the viewer's peak working set beside
// that of a viewer over an empty history.
// Usage: walk_bench PICTURE.png COPY.png RUNS; COPY receives one history file, for the native
// decoder that bench/walk_bench.sh times in the same run.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "bench/message_watch_client.h"
#include "e2e/e2e_support.h"
#include "imaging/bitmap_utils.h"
#include "imaging/image_file_reader.h"
#include "imaging/image_saving.h"
#include "win/command_ids.h"
#include "win/win_text.h"

namespace {

constexpr int kFiles = 8;
constexpr DWORD kWarmPause = 400;
// message_watch's report of every finished viewer paint.
constexpr WPARAM kViewerRepainted = 4;

double lastPaint = 0;
int paints = 0;

LRESULT CALLBACK WatcherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kWatchReport && wParam == kViewerRepainted) {
        lastPaint = CounterToMs(static_cast<int64_t>(lParam));
        ++paints;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

struct Memory {
    double workingSet = 0;
    double peakWorkingSet = 0;
};

Memory MemoryOf(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    Memory memory;
    if (process && GetProcessMemoryInfo(process, &counters, sizeof counters)) {
        constexpr double kMebibyte = 1024.0 * 1024.0;
        memory = Memory{static_cast<double>(counters.WorkingSetSize) / kMebibyte,
                        static_cast<double>(counters.PeakWorkingSetSize) / kMebibyte};
    }
    if (process)
        CloseHandle(process);
    return memory;
}

// Milliseconds from now to the end of the next viewer paint; negative when none comes.
double UntilPainted(int seenPaints, double from) {
    auto painted = [](void* seen) { return paints > *static_cast<int*>(seen); };
    if (!PumpMessagesUntil(painted, &seenPaints, 30000))
        return -1;
    return lastPaint - from;
}

struct Walk {
    double open = 0;
    double cold = 0;
    std::vector<double> warm;
    Memory memory;
};

bool OneWalk(Walk& walk) {
    const int seen = paints;
    const double start = NowMs();
    GlimpserProcess viewerProcess(L"/open");
    walk.open = UntilPainted(seen, start);
    HWND viewer = FindProcessWindow(viewerProcess.Id(), L"Glimpser (", false);
    if (walk.open < 0 || !viewer)
        return false;
    for (int step = 1; step < kFiles; ++step) {
        if (step > 1)
            PumpMessagesFor(kWarmPause);
        const int before = paints;
        const double posted = NowMs();
        PostMessageW(viewer, WM_COMMAND, ID_PREVIOUS, 0);
        const double took = UntilPainted(before, posted);
        if (took < 0)
            return false;
        (step == 1 ? walk.cold : walk.warm.emplace_back()) = took;
    }
    walk.memory = MemoryOf(viewerProcess.Id());
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    return viewerProcess.WaitForExit(30000) == 0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The picture turned sideways by `shift` columns, as a 32-bit DIB section.
HBITMAP Shifted(const std::vector<uint32_t>& pixels, int width, int height, int shift) {
    BITMAPINFO info = Make32BitDibInfo(width, -height);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* out = static_cast<uint32_t*>(bits);
    for (int y = 0; bitmap && y < height; ++y) {
        const uint32_t* row = pixels.data() + static_cast<size_t>(y) * width;
        uint32_t* to = out + static_cast<size_t>(y) * width;
        std::copy(row + shift, row + width, to);
        std::copy(row, row + shift, to + (width - shift));
    }
    return bitmap;
}

}  // namespace

int main() {
    SetProcessDPIAware();
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 4) {
        printf("usage: walk_bench PICTURE.png COPY.png RUNS\n");
        return 2;
    }
    const int runs = _wtoi(argv[3]);
    ResetUserState();
    HHOOK hook = StartMessageWatch(&WatcherProc);
    if (!hook) {
        printf("error: no message hook, so no paint can be seen\n");
        return 1;
    }

    // What a viewer needs with nothing to show.
    Memory empty;
    {
        const int seen = paints;
        GlimpserProcess viewerProcess(L"/open");
        UntilPainted(seen, NowMs());
        empty = MemoryOf(viewerProcess.Id());
        PostMessageW(FindProcessWindow(viewerProcess.Id(), L"Glimpser (", false), WM_CLOSE, 0, 0);
        viewerProcess.WaitForExit(30000);
    }

    Image picture;
    if (!ReadImage(argv[1], picture)) {
        printf("error: cannot read %ls\n", argv[1]);
        return 1;
    }
    double fileMegabytes = 0;
    for (int number = 1; number <= kFiles; ++number) {
        const ScopedBitmap bitmap(Shifted(picture.pixels, picture.width, picture.height,
                                          picture.width * (number - 1) / kFiles));
        const std::wstring path =
            HistoryFolder() + L"\\Glimpser " + std::to_wstring(number) + L".png";
        if (!SaveImage(bitmap.Get(), ToUtf8(path.c_str()), 96)) {
            printf("error: cannot write %ls\n", path.c_str());
            return 1;
        }
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
        fileMegabytes += data.nFileSizeLow / 1e6 / kFiles;
        if (number == kFiles)
            CopyFileW(path.c_str(), argv[2], FALSE);
    }
    const double imageMebibytes = picture.width * 4.0 * picture.height / (1024.0 * 1024.0);

    std::vector<Walk> walks;
    for (int run = 0; run < runs; ++run) {
        Walk walk;
        if (!OneWalk(walk)) {
            printf("error: walk %d did not complete\n", run + 1);
            TerminateGlimpserProcesses();
            continue;
        }
        printf("walk %d: /open %.1f ms, cold step %.1f ms, warm steps", run + 1, walk.open,
               walk.cold);
        for (double step : walk.warm)
            printf(" %.1f", step);
        printf(" ms, peak working set %.1f MiB\n", walk.memory.peakWorkingSet);
        walks.push_back(walk);
    }
    StopMessageWatch(hook);
    if (walks.empty())
        return 1;
    auto median = [&](auto field) {
        std::vector<double> values;
        for (const Walk& walk : walks)
            values.push_back(field(walk));
        return Median(values);
    };
    std::vector<double> warm;
    for (const Walk& walk : walks)
        warm.insert(warm.end(), walk.warm.begin(), walk.warm.end());
    printf("history: %d files of %dx%d, %.2f MB each on average\n", kFiles, picture.width,
           picture.height, fileMegabytes);
    printf("open_to_responsive_viewer: %.1f ms\n", median([](const Walk& w) { return w.open; }));
    printf("cold_step: %.1f ms\n", median([](const Walk& w) { return w.cold; }));
    printf("warm_step: %.1f ms (slowest %.1f)\n", Median(warm),
           *std::max_element(warm.begin(), warm.end()));
    const double peak = median([](const Walk& w) { return w.memory.peakWorkingSet; });
    printf("peak_working_set_walk: %.1f MiB\n", peak);
    printf("peak_working_set_empty_viewer: %.1f MiB\n", empty.peakWorkingSet);
    printf("walk_memory_above_empty_viewer: %.1f MiB (goal: 3 images of %.1f MiB + 20 = %.1f)\n",
           peak - empty.peakWorkingSet, imageMebibytes, 3 * imageMebibytes + 20);
    return 0;
}
