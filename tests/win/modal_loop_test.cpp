#include "win/modal_loop.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/input.h"
#include "support/probe_window.h"

namespace {

constexpr UINT kEnd = WM_APP;       // ends the loop with wParam as the result
constexpr UINT kStep = WM_APP + 1;  // runs the test's step
const RECT kPlace{100, 100, 300, 250};

// The window ends its loop on kEnd, runs `step` on kStep, and answers `keyAnswer` when a key
// press is offered to it before translation.
void React(CProbeWindow& window, std::function<void()> step = nullptr, LRESULT keyAnswer = 2) {
    window.handler = [&window, step, keyAnswer](UINT message, WPARAM wParam, LPARAM lParam,
                                                bool& handled) {
        if (message == kEnd) {
            EndModalLoop(window.hwnd, static_cast<int>(wParam));
        } else if (message == kStep && step) {
            step();
        } else if (message == WM_MODAL_PRETRANSLATE) {
            return reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN ? keyAnswer : 2;
        } else {
            handled = false;
        }
        return LRESULT{0};
    };
}

}  // namespace

TEST(ModalLoop, ShowsTheWindowAnswersTheResultHidesItAndDispatchesNothingAfterTheEnd) {
    EXPECT_EQ(RunModalLoop(nullptr, nullptr), 0);
    for (int result : {1, -7}) {
        CProbeWindow window;
        ASSERT_TRUE(window.CreatePopup(kPlace));
        bool visibleInside = false;
        React(window, [&] { visibleInside = IsWindowVisible(window.hwnd) != FALSE; });
        // Ending with no loop running is ignored, and does not end the next loop at once.
        EndModalLoop(window.hwnd, 5);
        EndModalLoop(nullptr, 5);
        SetCapture(window.hwnd);
        PostMessageW(window.hwnd, kStep, 0, 0);
        PostMessageW(window.hwnd, kEnd, static_cast<WPARAM>(result), 0);
        PostMessageW(window.hwnd, kStep, 0, 0);
        EXPECT_EQ(RunModalLoop(nullptr, window.hwnd), result);
        EXPECT_TRUE(visibleInside);
        EXPECT_FALSE(IsWindowVisible(window.hwnd));
        EXPECT_EQ(window.Count(WM_CANCELMODE), 1);
        EXPECT_EQ(window.Count(kStep), 1);
    }
}

TEST(ModalLoop, DisablesTheTopLevelOwnerOnlyWhileRunning) {
    const struct {
        bool childOwner, ownerDisabledBefore;
    } cases[] = {{false, false}, {true, false}, {false, true}};
    for (const auto& c : cases) {
        CProbeWindow top, child, window;
        ASSERT_TRUE(top.CreatePopup(kPlace, WS_POPUP | WS_VISIBLE));
        ASSERT_TRUE(child.Create(top.hwnd, RECT{0, 0, 50, 50}, L"", WS_CHILD | WS_VISIBLE, 0));
        ASSERT_TRUE(window.CreatePopup(kPlace, WS_POPUP, top.hwnd));
        EnableWindow(top.hwnd, !c.ownerDisabledBefore);
        bool topEnabledInside = true, childEnabledInside = false;
        React(window, [&] {
            topEnabledInside = IsWindowEnabled(top.hwnd) != FALSE;
            childEnabledInside = IsWindowEnabled(child.hwnd) != FALSE;
        });
        PostMessageW(window.hwnd, kStep, 0, 0);
        PostMessageW(window.hwnd, kEnd, 1, 0);
        EXPECT_EQ(RunModalLoop(c.childOwner ? child.hwnd : top.hwnd, window.hwnd), 1);
        EXPECT_FALSE(topEnabledInside);
        EXPECT_TRUE(childEnabledInside);
        EXPECT_EQ(IsWindowEnabled(top.hwnd) != FALSE, !c.ownerDisabledBefore);
        if (!c.ownerDisabledBefore) {
            EXPECT_EQ(GetActiveWindow(), top.hwnd);
        }
    }
}

// A nested loop on the same window inherits the outer one's owner and leaves the window shown;
// a quit in a loop on another window inside ends every loop and stays queued.
TEST(ModalLoop, NestedLoopsEndOnTheirOwnAndAllOnQuit) {
    CProbeWindow owner, window, inner;
    ASSERT_TRUE(owner.CreatePopup(kPlace, WS_POPUP | WS_VISIBLE));
    ASSERT_TRUE(window.CreatePopup(kPlace));
    ASSERT_TRUE(inner.CreatePopup(kPlace));
    int nestedResult = -1, innerResult = -1;
    bool shownAfterNested = false, ownerEnabledAfterNested = true, windowEnabledAfterInner = false;
    React(inner, [] { PostQuitMessage(42); });
    React(window, [&] {
        PostMessageW(window.hwnd, kEnd, 3, 0);
        nestedResult = RunModalLoop(nullptr, window.hwnd);
        shownAfterNested = IsWindowVisible(window.hwnd) != FALSE;
        ownerEnabledAfterNested = IsWindowEnabled(owner.hwnd) != FALSE;
        PostMessageW(inner.hwnd, kStep, 0, 0);
        innerResult = RunModalLoop(window.hwnd, inner.hwnd);
        windowEnabledAfterInner = IsWindowEnabled(window.hwnd) != FALSE;
    });
    PostMessageW(window.hwnd, kStep, 0, 0);
    EXPECT_EQ(RunModalLoop(owner.hwnd, window.hwnd), 0);
    EXPECT_EQ(nestedResult, 3);
    EXPECT_TRUE(shownAfterNested);
    EXPECT_FALSE(ownerEnabledAfterNested);
    EXPECT_EQ(innerResult, 0);
    EXPECT_TRUE(windowEnabledAfterInner);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd));
    EXPECT_TRUE(IsWindowVisible(inner.hwnd));  // a quit leaves the windows as they are
    MSG quit;
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 42u);
    PumpMessagesFor(0);
}

TEST(ModalLoop, PretranslateAnswerDecidesDropDialogOrDispatch) {
    const struct {
        LRESULT answer;
        bool dispatched, dialogAsked;
    } cases[] = {{1, false, false}, {0, true, true}, {2, true, false}};
    for (const auto& c : cases) {
        CProbeWindow window;
        ASSERT_TRUE(window.CreatePopup(kPlace));
        React(window, nullptr, c.answer);
        PostMessageW(window.hwnd, WM_KEYDOWN, 'A', 0x001E0001);
        PostMessageW(window.hwnd, kEnd, 1, 0);
        EXPECT_EQ(RunModalLoop(nullptr, window.hwnd), 1);
        EXPECT_EQ(window.Count(WM_KEYDOWN) > 0, c.dispatched) << c.answer;
        EXPECT_EQ(window.Count(WM_GETDLGCODE) > 0, c.dialogAsked) << c.answer;
        PumpMessagesFor(0);
    }
}

// Nothing could end a loop whose window is gone, so it gives up and frees the owner.
TEST(ModalLoop, WindowDestroyedUnderTheLoopEndsItAndFreesTheOwner) {
    CProbeWindow owner, window;
    ASSERT_TRUE(owner.CreatePopup(kPlace, WS_POPUP | WS_VISIBLE));
    ASSERT_TRUE(window.CreatePopup(kPlace));
    const HWND handle = window.hwnd;
    React(window, [handle] { DestroyWindow(handle); });
    PostMessageW(handle, kStep, 0, 0);
    EXPECT_EQ(RunModalLoop(owner.hwnd, handle), 0);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd));
}
