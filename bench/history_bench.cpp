// Times the history store over folders of 1,000 and 10,000 capture files: the first read,
// a capture (with and without a trim) and a walk across every file. Per-file figures that stay
// flat from the small folder to the large one show that nothing grows quadratically.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/bench_clock.h"
#include "history/file_base.h"
#include "support/temp_folder.h"
#include "win/win_text.h"

namespace {

void Fill(const TempFolder& folder, int count) {
    for (int i = 1; i <= count; ++i) {
        const std::wstring path = folder / (L"Glimpser " + std::to_wstring(i) + L".png");
        CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    }
}

void Configure(CFileBase& store, const TempFolder& folder, int32_t maxHistory) {
    store.Init(ToUtf8(folder.Path().c_str()), Tessel::String("Glimpser *.png"),
               Tessel::String("Glimpser %i.png"), maxHistory);
}

void Run(int count) {
    TempFolder folder;
    Fill(folder, count);
    const std::string label = std::to_string(count);

    CFileBase reader;
    Configure(reader, folder, -1);
    double start = NowMs();
    reader.Refresh();
    const double refreshMs = NowMs() - start;
    std::printf("refresh_%s_files: %.2f ms\n", label.c_str(), refreshMs);
    std::printf("refresh_per_file_%s_files: %.3f us\n", label.c_str(), refreshMs * 1000.0 / count);

    // A fresh store, as a new viewer has: its first capture reads the folder and skips to
    // the number above the newest file.
    Tessel::String path;
    CFileBase adder;
    Configure(adder, folder, -1);
    start = NowMs();
    adder.AddCapture(path);
    std::printf("first_add_capture_%s_files: %.2f ms\n", label.c_str(), NowMs() - start);

    // Later captures of the same store use the list it holds; each one trims one file.
    CFileBase trimmer;
    Configure(trimmer, folder, count);
    trimmer.Refresh();
    const int captures = 100;
    start = NowMs();
    for (int i = 0; i < captures; ++i) {
        trimmer.AddCapture(path);
        CloseHandle(CreateFileW(WStr(ToWide(path)), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    std::printf("add_capture_with_trim_%s_files: %.3f ms per capture\n", label.c_str(),
                (NowMs() - start) / captures);

    // The floor under a capture: Wine looks up a name that does not exist by scanning the
    // folder, so every such call costs time in proportion to the files there.
    const std::wstring missing = folder / L"Glimpser 0.png";
    const int lookups = 100;
    start = NowMs();
    for (int i = 0; i < lookups; ++i) {
        GetFileAttributesW(missing.c_str());
    }
    std::printf("missing_file_lookup_%s_files: %.3f ms per lookup\n", label.c_str(),
                (NowMs() - start) / lookups);

    // From the newest file back to the oldest, one Previous at a time.
    CFileBase walker;
    Configure(walker, folder, -1);
    Tessel::String current;
    int steps = 0;
    start = NowMs();
    while (walker.Navigate(current, -1, path)) {
        current = path;
        ++steps;
    }
    const double walkMs = NowMs() - start;
    std::printf("navigate_walk_%s_files: %.2f ms for %i steps\n", label.c_str(), walkMs, steps);
    std::printf("navigate_per_step_%s_files: %.3f us\n", label.c_str(),
                walkMs * 1000.0 / (steps > 0 ? steps : 1));
}

}  // namespace

int main() {
    Run(1000);
    Run(10000);
    return 0;
}
