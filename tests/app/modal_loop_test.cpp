#include "app/modal_loop.h"

#include <gtest/gtest.h>

#include "support/probe_window.h"

namespace {

constexpr UINT kEnd = WM_APP;
constexpr UINT kStep = WM_APP + 1;
const RECT kPlace{100, 100, 300, 250};

// Ends the loop on window with the result carried by a posted kEnd.
void EndOnRequest(CProbeWindow& window) {
    window.handler = [&window](UINT message, WPARAM wParam, LPARAM, bool& handled) {
        handled = message == kEnd;
        if (handled) {
            EndModalLoop(window.hwnd, static_cast<int>(wParam));
        }
        return LRESULT{0};
    };
}

void DrainQueue() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

}  // namespace

TEST(ModalLoop, NoWindowAnswersZeroAtOnce) {
    EXPECT_EQ(RunModalLoop(nullptr, nullptr), 0);
}

TEST(ModalLoop, AnswersTheEndResultShowsTheWindowWhileRunningAndHidesItAfter) {
    for (int result : {1, 2, -7}) {
        CProbeWindow window;
        ASSERT_TRUE(window.CreatePopup(kPlace));
        bool visibleInside = false;
        window.handler = [&](UINT message, WPARAM, LPARAM, bool& handled) {
            handled = message == kEnd;
            if (handled) {
                visibleInside = IsWindowVisible(window.hwnd) != FALSE;
                EndModalLoop(window.hwnd, result);
            }
            return LRESULT{0};
        };
        PostMessageW(window.hwnd, kEnd, 0, 0);
        EXPECT_EQ(RunModalLoop(nullptr, window.hwnd), result);
        EXPECT_TRUE(visibleInside);
        EXPECT_FALSE(IsWindowVisible(window.hwnd));
        EXPECT_GT(window.Count(WM_MODAL_PRETRANSLATE), 0);
    }
}

TEST(ModalLoop, DisablesTheTopLevelOwnerOnlyWhileRunning) {
    struct Case {
        bool childOwner;
        bool ownerDisabledBefore;
    };
    for (const Case& c : {Case{false, false}, Case{true, false}, Case{false, true}}) {
        CProbeWindow top, child, window;
        ASSERT_TRUE(top.CreatePopup(kPlace, WS_POPUP | WS_VISIBLE));
        ASSERT_TRUE(child.Create(top.hwnd, RECT{0, 0, 50, 50}, L"", WS_CHILD | WS_VISIBLE, 0));
        ASSERT_TRUE(window.CreatePopup(kPlace, WS_POPUP, top.hwnd));
        EnableWindow(top.hwnd, !c.ownerDisabledBefore);
        bool topEnabledInside = true;
        bool childEnabledInside = false;
        window.handler = [&](UINT message, WPARAM, LPARAM, bool& handled) {
            handled = message == kEnd;
            if (handled) {
                topEnabledInside = IsWindowEnabled(top.hwnd) != FALSE;
                childEnabledInside = IsWindowEnabled(child.hwnd) != FALSE;
                EndModalLoop(window.hwnd, 1);
            }
            return LRESULT{0};
        };
        PostMessageW(window.hwnd, kEnd, 0, 0);
        EXPECT_EQ(RunModalLoop(c.childOwner ? child.hwnd : top.hwnd, window.hwnd), 1);
        EXPECT_FALSE(topEnabledInside);
        EXPECT_TRUE(childEnabledInside);
        EXPECT_EQ(IsWindowEnabled(top.hwnd) != FALSE, !c.ownerDisabledBefore);
        if (!c.ownerDisabledBefore) {
            EXPECT_EQ(GetActiveWindow(), top.hwnd);
        }
    }
}

TEST(ModalLoop, NestedLoopOnTheSameWindowKeepsItShownAndTheOwnerDisabled) {
    CProbeWindow owner, window;
    ASSERT_TRUE(owner.CreatePopup(kPlace, WS_POPUP | WS_VISIBLE));
    ASSERT_TRUE(window.CreatePopup(kPlace));
    int nestedResult = -1;
    bool visibleAfterNested = false, ownerEnabledAfterNested = true;
    window.handler = [&](UINT message, WPARAM wParam, LPARAM, bool& handled) {
        if (message == kStep) {
            PostMessageW(window.hwnd, kEnd, 3, 0);
            nestedResult = RunModalLoop(nullptr, window.hwnd);
            visibleAfterNested = IsWindowVisible(window.hwnd) != FALSE;
            ownerEnabledAfterNested = IsWindowEnabled(owner.hwnd) != FALSE;
            PostMessageW(window.hwnd, kEnd, 1, 0);
        } else if (message == kEnd) {
            EndModalLoop(window.hwnd, static_cast<int>(wParam));
        } else {
            handled = false;
        }
        return LRESULT{0};
    };
    PostMessageW(window.hwnd, kStep, 0, 0);
    EXPECT_EQ(RunModalLoop(owner.hwnd, window.hwnd), 1);
    EXPECT_EQ(nestedResult, 3);
    EXPECT_TRUE(visibleAfterNested);
    EXPECT_FALSE(ownerEnabledAfterNested);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd));
    EXPECT_FALSE(IsWindowVisible(window.hwnd));
}

TEST(ModalLoop, QuitEndsEveryNestedLoopAndStaysQueued) {
    CProbeWindow outer, inner;
    ASSERT_TRUE(outer.CreatePopup(kPlace));
    ASSERT_TRUE(inner.CreatePopup(kPlace));
    int innerResult = -1;
    bool outerEnabledAfterInner = false;
    outer.handler = [&](UINT message, WPARAM, LPARAM, bool& handled) {
        if (message == kStep) {
            PostMessageW(inner.hwnd, kStep, 0, 0);
            innerResult = RunModalLoop(outer.hwnd, inner.hwnd);
            outerEnabledAfterInner = IsWindowEnabled(outer.hwnd) != FALSE;
        } else {
            handled = false;
        }
        return LRESULT{0};
    };
    inner.handler = [&](UINT message, WPARAM, LPARAM, bool& handled) {
        if (message == kStep) {
            PostQuitMessage(42);
        } else {
            handled = false;
        }
        return LRESULT{0};
    };
    PostMessageW(outer.hwnd, kStep, 0, 0);
    EXPECT_EQ(RunModalLoop(nullptr, outer.hwnd), 0);
    EXPECT_EQ(innerResult, 0);
    EXPECT_TRUE(outerEnabledAfterInner);
    // A quit leaves the windows as they are.
    EXPECT_TRUE(IsWindowVisible(inner.hwnd));
    EXPECT_TRUE(IsWindowVisible(outer.hwnd));
    MSG quit;
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 42u);
    DrainQueue();
}

TEST(ModalLoop, MessageAfterEndIsLeftInTheQueue) {
    CProbeWindow window;
    ASSERT_TRUE(window.CreatePopup(kPlace));
    window.handler = [&](UINT message, WPARAM, LPARAM, bool& handled) {
        if (message == kEnd) {
            PostMessageW(window.hwnd, kStep, 0, 0);
            EndModalLoop(window.hwnd, 1);
        } else {
            handled = false;
        }
        return LRESULT{0};
    };
    PostMessageW(window.hwnd, kEnd, 0, 0);
    EXPECT_EQ(RunModalLoop(nullptr, window.hwnd), 1);
    EXPECT_EQ(window.Count(kStep), 0);
    MSG left;
    EXPECT_TRUE(PeekMessageW(&left, window.hwnd, kStep, kStep, PM_REMOVE));
}

TEST(ModalLoop, PretranslateAnswerDecidesDropDialogOrDispatch) {
    struct Case {
        LRESULT answer;
        bool dispatched, dialogAsked;
    };
    const Case cases[] = {
        {1, false, false},  // the window dealt with it
        {0, true, true},    // offered to IsDialogMessageW, which asks for the dialog code
        {2, true, false},   // translated and dispatched directly
    };
    for (const Case& c : cases) {
        CProbeWindow window;
        ASSERT_TRUE(window.CreatePopup(kPlace));
        window.handler = [&](UINT message, WPARAM, LPARAM lParam, bool& handled) {
            if (message == WM_MODAL_PRETRANSLATE) {
                const MSG* queued = reinterpret_cast<const MSG*>(lParam);
                return queued->message == WM_KEYDOWN ? c.answer : LRESULT{2};
            }
            handled = message == kEnd;
            if (handled) {
                EndModalLoop(window.hwnd, 1);
            }
            return LRESULT{0};
        };
        PostMessageW(window.hwnd, WM_KEYDOWN, 'A', 0x001E0001);
        PostMessageW(window.hwnd, kEnd, 0, 0);
        EXPECT_EQ(RunModalLoop(nullptr, window.hwnd), 1);
        EXPECT_EQ(window.Count(WM_KEYDOWN) > 0, c.dispatched) << c.answer;
        EXPECT_EQ(window.Count(WM_GETDLGCODE) > 0, c.dialogAsked) << c.answer;
        DrainQueue();
    }
}

TEST(ModalLoop, IdleIsSentWhenTheQueueRunsEmpty) {
    CProbeWindow window;
    ASSERT_TRUE(window.CreatePopup(kPlace));
    window.handler = [&](UINT message, WPARAM, LPARAM, bool& handled) {
        if (message == WM_TIMER) {
            KillTimer(window.hwnd, 1);
            EndModalLoop(window.hwnd, 1);
        } else {
            handled = false;
        }
        return LRESULT{0};
    };
    SetTimer(window.hwnd, 1, 50, nullptr);
    EXPECT_EQ(RunModalLoop(nullptr, window.hwnd), 1);
    EXPECT_GT(window.Count(WM_MODAL_IDLE), 0);
}

TEST(ModalLoop, CancelsTheMouseCaptureOfAnotherWindowFirst) {
    CProbeWindow holder, window;
    ASSERT_TRUE(holder.CreatePopup(kPlace, WS_POPUP | WS_VISIBLE));
    ASSERT_TRUE(window.CreatePopup(kPlace));
    EndOnRequest(window);
    SetCapture(holder.hwnd);
    PostMessageW(window.hwnd, kEnd, 1, 0);
    EXPECT_EQ(RunModalLoop(nullptr, window.hwnd), 1);
    EXPECT_EQ(holder.Count(WM_CANCELMODE), 1);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(ModalLoop, EndWithoutALoopIsIgnored) {
    CProbeWindow window;
    ASSERT_TRUE(window.CreatePopup(kPlace, WS_POPUP | WS_VISIBLE));
    EndModalLoop(window.hwnd, 1);
    EndModalLoop(nullptr, 1);
    EXPECT_TRUE(IsWindowVisible(window.hwnd));
    // A later loop is not ended by the stray call.
    EndOnRequest(window);
    PostMessageW(window.hwnd, kEnd, 5, 0);
    EXPECT_EQ(RunModalLoop(nullptr, window.hwnd), 5);
}

TEST(ModalLoop, WindowDestroyedUnderTheLoopEndsItAndFreesTheOwner) {
    CProbeWindow owner, window;
    ASSERT_TRUE(owner.CreatePopup(kPlace, WS_POPUP | WS_VISIBLE));
    ASSERT_TRUE(window.CreatePopup(kPlace));
    window.handler = [&](UINT message, WPARAM, LPARAM, bool& handled) {
        if (message == kEnd) {
            DestroyWindow(window.hwnd);
        } else {
            handled = false;
        }
        return LRESULT{0};
    };
    const HWND handle = window.hwnd;
    PostMessageW(handle, kEnd, 0, 0);
    EXPECT_EQ(RunModalLoop(owner.hwnd, handle), 0);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd));
}
