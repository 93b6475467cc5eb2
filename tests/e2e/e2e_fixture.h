#pragma once
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/e2e_support.h"

// How long any one step of the program may take under a loaded Wine.
constexpr DWORD kWait = 15000;

// Every end-to-end test starts from an empty history, no settings and no log-on entry, and
// leaves no program running behind it.
class EndToEnd : public testing::Test {
protected:
    void SetUp() override { ResetUserState(); }
    void TearDown() override { TerminateGlimpserProcesses(); }
};

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
// Closes the viewer and answers the process's exit code (-1: it did not end).
inline long CloseViewer(HWND viewer, GlimpserProcess& process) {
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    return process.WaitForExit(kWait);
}
// The pixels, of the given size, are exactly the pattern's pixels of the screen region.
inline void ExpectPattern(const std::vector<uint32_t>& pixels, SIZE size, const RECT& region) {
    EXPECT_EQ(size.cx, region.right - region.left);
    EXPECT_EQ(size.cy, region.bottom - region.top);
    const std::vector<uint32_t> expected = ExpectedPattern(region);
    EXPECT_EQ(std::ranges::mismatch(pixels, expected).in1 - pixels.begin(),
              static_cast<ptrdiff_t>(expected.size()))
        << "the index of the first pixel that differs from the pattern";
}
// The history file holds exactly the pattern's pixels of the region.
inline void ExpectHistoryFileShowsPattern(const wchar_t* name, const RECT& region) {
    Image image;
    ASSERT_TRUE(ReadImage(HistoryFolder() + L"\\" + name, image)) << name;
    // pHYs holds whole pixels per metre: 96 dpi is stored as 3780, read back as 96.012.
    EXPECT_NEAR(image.dpiX, GetDeviceCaps(ScopedWindowDC(nullptr).Get(), LOGPIXELSX), 0.05);
    ExpectPattern(image.pixels, {image.width, image.height}, region);
}
