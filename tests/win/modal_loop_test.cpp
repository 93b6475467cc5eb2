#include "win/modal_loop.h"

#include <gtest/gtest.h>

#include "support/input.h"
#include "support/probe_window.h"

namespace {

constexpr UINT kEnd = WM_APP;       // ends the loop with wParam as the result
constexpr UINT kStep = WM_APP + 1;  // runs the test's step
const RECT kPlace{100, 100, 300, 250};

}  // namespace

// The window shows while the loop runs and hides after; a key press offered before translation
// is dropped (1) or dispatched without dialog navigation (2). An end with no loop
// running is ignored, and nothing is dispatched after the end. Nothing could end a loop whose
// window is destroyed under it, so the loop gives up.
TEST(ModalLoop, RunsUntilItsEndAndLetsTheWindowFilterEachMessage) {
    EXPECT_EQ(RunModalLoop(nullptr, nullptr), 0);
    const struct {
        LRESULT answer;
        bool dispatched, destroyed;
        int result;
    } cases[] = {{1, false, false, 1}, {2, true, false, -7}, {2, true, true, 0}};
    for (const auto& c : cases) {
        CProbeWindow window;
        ASSERT_TRUE(window.CreatePopup(kPlace));
        const HWND handle = window.hwnd;
        bool visibleInside = false;
        // Ends the loop on kEnd; on kStep looks at itself and, if asked to, goes.
        window.handler = [&](UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
            if (message == kEnd) {
                EndModalLoop(handle, static_cast<int>(wParam));
            } else if (message == kStep) {
                visibleInside = IsWindowVisible(handle) != FALSE;
                if (c.destroyed) {
                    DestroyWindow(handle);
                }
            } else if (message == WM_MODAL_PRETRANSLATE) {
                return reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN ? c.answer : 2;
            } else {
                handled = false;
            }
            return LRESULT{0};
        };
        EndModalLoop(handle, 5);
        EndModalLoop(nullptr, 5);
        SetCapture(handle);
        PostMessageW(handle, WM_KEYDOWN, 'A', 0x001E0001);
        PostMessageW(handle, kStep, 0, 0);
        PostMessageW(handle, kEnd, static_cast<WPARAM>(c.result), 0);
        PostMessageW(handle, kStep, 0, 0);
        EXPECT_EQ(RunModalLoop(nullptr, handle), c.result);
        EXPECT_TRUE(visibleInside);
        EXPECT_FALSE(IsWindowVisible(handle));
        EXPECT_EQ(IsWindow(handle) == FALSE, c.destroyed);
        EXPECT_EQ(window.Count(WM_CANCELMODE), 1);
        EXPECT_EQ(window.Count(kStep), 1);
        EXPECT_EQ(window.Count(WM_KEYDOWN) > 0, c.dispatched) << c.answer;
        EXPECT_EQ(window.Count(WM_GETDLGCODE), 0);
        PumpMessagesFor(0);
    }
}
