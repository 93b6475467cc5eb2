// Several real processes writing one history folder at once, and processes that end in the
// middle of a write: no capture is lost, replaced, cut short or left behind as a stray file.
#include <cwchar>
#include <memory>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "e2e/e2e_fixture.h"

namespace {

// Whole-screen captures, so that the writes take long enough to overlap.
void StoreWholeScreenRegion() {
    wchar_t region[64];
    swprintf(region, 64, L"0,0,%d,%d", GetSystemMetrics(SM_CXVIRTUALSCREEN),
             GetSystemMetrics(SM_CYVIRTUALSCREEN));
    WriteSettingString(L"CaptureRegion", region);
}

// The numbers of the files in the folder that match, each of which must be a whole-screen
// history PNG.
std::vector<int> CompleteCaptures(const std::wstring& folder, const wchar_t* pattern = L"*") {
    std::vector<int> numbers;
    std::wistringstream names(FilesMatching(folder + L"\\" + pattern));
    for (std::wstring name; std::getline(names, name, L'|');) {
        int number = 0, length = 0;
        swscanf(name.c_str(), L"Glimpser %d.png%n", &number, &length);
        EXPECT_EQ(static_cast<size_t>(length), name.size()) << "stray " << name;
        Image image;
        EXPECT_TRUE(ReadImage(folder + L"\\" + name, image)) << name;
        EXPECT_EQ(image.width, GetSystemMetrics(SM_CXVIRTUALSCREEN)) << name;
        EXPECT_EQ(image.height, GetSystemMetrics(SM_CYVIRTUALSCREEN)) << name;
        numbers.push_back(number);
    }
    return numbers;
}

}  // namespace

// Four processes take eight captures each at the same time, the first at their start and seven
// from their viewers. With ten kept and the rest archived, every capture is somewhere under its
// own number, and what leaves the history is always older than the ten newest captures.
TEST_F(EndToEnd, FourProcessesCapturingAtOnceKeepEveryCaptureUnderItsOwnNumber) {
    const PatternWindow pattern;
    StoreWholeScreenRegion();
    const DWORD ten = 10;
    WriteSettingRaw(L"MaxHistory", REG_DWORD, &ten, sizeof ten);
    WriteSettingString(L"ArchiveFolder", L"Old");
    std::vector<std::unique_ptr<GlimpserProcess>> processes;
    for (int i = 0; i < 4; ++i)
        processes.push_back(std::make_unique<GlimpserProcess>(L"/capture:same"));
    std::vector<HWND> viewers;
    for (const auto& process : processes) {
        viewers.push_back(WaitForViewer(*process));
        ASSERT_NE(viewers.back(), nullptr);
    }
    std::vector<std::thread> users;
    for (const HWND viewer : viewers) {
        users.emplace_back([viewer] {
            for (int i = 0; i < 7; ++i)
                SendMessageTimeoutW(viewer, WM_COMMAND, ID_CAPTURE_SAME, 0, SMTO_NORMAL, 60000,
                                    nullptr);
        });
    }
    for (std::thread& user : users)
        user.join();
    EXPECT_EQ(FindProcessWindow(0, L"", false, L"#32770"), nullptr) << "a message came";
    for (size_t i = 0; i < processes.size(); ++i)
        EXPECT_EQ(CloseViewer(viewers[i], *processes[i]), 0);

    const std::vector<int> kept = CompleteCaptures(HistoryFolder());
    std::vector<int> all = CompleteCaptures(HistoryFolder() + L"\\Old");
    all.insert(all.end(), kept.begin(), kept.end());
    const std::set<int> unique(all.begin(), all.end()), history(kept.begin(), kept.end());
    EXPECT_EQ(all.size(), 32u);
    EXPECT_EQ(unique.size(), 32u);
    for (auto newest = unique.rbegin(); newest != std::next(unique.rbegin(), 10); ++newest)
        EXPECT_EQ(history.count(*newest), 1u) << *newest << " left the history";
}

// Killed at moments spread over its write (the encode, the flush, the rename), a process leaves
// at most its temporary file, which the next process's history store removes; closed during the
// write, it completes the file before it ends.
TEST_F(EndToEnd, EndingAProcessDuringTheWriteNeverLeavesAPartialHistoryFile) {
    const PatternWindow pattern;
    StoreWholeScreenRegion();
    const std::wstring leftovers = HistoryFolder() + L"\\~*";
    std::wstring left;
    int killedMidWrite = 0;
    constexpr int kKills = 12;
    for (int round = 0; round <= kKills; ++round) {
        SCOPED_TRACE(round);
        GlimpserProcess glimpser(L"/capture:same");
        // Timed from the moment the process's temporary file appears, not from its window: the
        // viewer may come after the write.
        wchar_t own[MAX_PATH];
        swprintf(own, MAX_PATH, L"%ls\\~*.%x.tmp", HistoryFolder().c_str(), glimpser.Id());
        WaitFor([&] { return !FilesMatching(own).empty(); }, kWait);
        if (!left.empty()) {
            EXPECT_EQ(FilesMatching(HistoryFolder() + L"\\" + left), L"") << "still there";
        }
        if (round == kKills) {
            const HWND viewer = WaitForViewer(glimpser);
            ASSERT_NE(viewer, nullptr);
            EXPECT_EQ(CloseViewer(viewer, glimpser), 0);
        } else {
            Sleep(static_cast<DWORD>(round * 4));
            EXPECT_TRUE(glimpser.Kill());
        }
        CompleteCaptures(HistoryFolder(), L"Glimpser *");
        left = FilesMatching(leftovers);
        killedMidWrite += !left.empty();
    }
    EXPECT_EQ(left, L"");
    EXPECT_GT(killedMidWrite, 0) << "no kill came during a write";
}
