#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "e2e/e2e_support.h"
#include "support/input.h"

// How long any one step of the program may take under a loaded Wine.
constexpr DWORD kWait = 15000;

// Every end-to-end test starts from an empty history, no settings and no log-on entry, and
// leaves no program running behind it.
class EndToEnd : public testing::Test {
protected:
    void SetUp() override { ResetUserState(); }
    void TearDown() override { TerminateGlimpserProcesses(); }
};

// Waits for the process to end and answers its exit code, failing the test if any window
// whose title starts with the prefix was seen meanwhile.
inline long ExitWithoutWindow(GlimpserProcess& process, const wchar_t* titlePrefix,
                              DWORD milliseconds) {
    long code = -1;
    for (DWORD waited = 0; waited < milliseconds; waited += 100) {
        EXPECT_EQ(FindProcessWindow(process.Id(), titlePrefix, false), nullptr);
        code = process.WaitForExit(100);
        if (code != -1)
            break;
    }
    return code;
}

// The process's overlay, once it is up and has the keyboard; null if it never came.
inline HWND WaitForOverlay(const GlimpserProcess& process) {
    const HWND overlay = WaitForProcessWindow(process.Id(), L"", true, kWait);
    PumpMessagesFor(300);
    return overlay;
}
// The process's viewer window, titled with its zoom; null if it never came.
inline HWND WaitForViewer(const GlimpserProcess& process) {
    return WaitForProcessWindow(process.Id(), L"Glimpser (", false, kWait);
}
// The process's hidden tray window; null if it never came.
inline HWND WaitForTrayWindow(DWORD processId) {
    std::pair<DWORD, HWND> query{processId, nullptr};
    auto done = [](void* context) {
        auto* query = static_cast<std::pair<DWORD, HWND>*>(context);
        HWND window = FindWindowW(nullptr, L"Glimpser Tray");
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        query->second = window && owner == query->first ? window : nullptr;
        return query->second != nullptr;
    };
    PumpMessagesUntil(done, &query, kWait);
    return query.second;
}
// Closes the viewer and answers the process's exit code (-1: it did not end).
inline long CloseViewer(HWND viewer, GlimpserProcess& process) {
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    return process.WaitForExit(kWait);
}
// The history file holds exactly the pattern's pixels of the region.
inline void ExpectHistoryFileShowsPattern(const wchar_t* name, int left, int top, int width,
                                          int height) {
    Image image;
    ASSERT_TRUE(ReadImage(HistoryFolder() + L"\\" + name, image)) << name;
    EXPECT_EQ(image.width, width);
    EXPECT_EQ(image.height, height);
    const std::vector<uint32_t> expected =
        ExpectedPattern({left, top, left + image.width, top + image.height});
    const auto& pixels = image.pixels;
    EXPECT_EQ(std::mismatch(pixels.begin(), pixels.end(), expected.begin()).first - pixels.begin(),
              static_cast<ptrdiff_t>(pixels.size()))
        << "the index of the first pixel that differs from the pattern";
}
