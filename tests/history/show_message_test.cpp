#include "history/show_message.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

std::string hookedText;
uint32_t hookedFlags = 0;

int AnswerNo(const Tessel::String& text, uint32_t flags) {
    hookedText = text.CStr();
    hookedFlags = flags;
    return IDNO;
}

TEST(ShowMessage, HookAnswersInsteadOfTheMessageBox) {
    const MessageHook previous = SetMessageHookForTesting(AnswerNo);
    EXPECT_EQ(ShowMessage(Tessel::String("Delete \xC3\xA9?"), MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(hookedText, "Delete \xC3\xA9?");
    EXPECT_EQ(hookedFlags, static_cast<uint32_t>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(SetMessageHookForTesting(previous), &AnswerNo);
}

HWND FindDialogOfThread(DWORD threadId) {
    HWND found = nullptr;
    EnumThreadWindows(
        threadId,
        [](HWND window, LPARAM param) -> BOOL {
            wchar_t className[16] = L"";
            GetClassNameW(window, className, 16);
            if (std::wstring(className) != L"#32770") {
                return TRUE;
            }
            *reinterpret_cast<HWND*>(param) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// A real message box: another thread finds it, reads it and presses Yes.
TEST(ShowMessage, ShowsCaptionedBoxOwnedByTheActiveWindow) {
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                                       10, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    SetForegroundWindow(owner);
    SetActiveWindow(owner);
    ASSERT_EQ(GetActiveWindow(), owner);

    const DWORD threadId = GetCurrentThreadId();
    HWND seenOwner = nullptr;
    std::wstring seenCaption;
    std::wstring seenText;
    std::atomic<bool> returned{false};
    std::thread presser([&] {
        HWND box = nullptr;
        while ((box = FindDialogOfThread(threadId)) == nullptr) {
            if (returned) {
                return;  // no box came up; the checks below report it
            }
            Sleep(20);
        }
        wchar_t text[256] = L"";
        GetWindowTextW(box, text, 256);
        seenCaption = text;
        GetDlgItemTextW(box, 0xFFFF, text, 256);
        seenText = text;
        seenOwner = GetWindow(box, GW_OWNER);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    });
    const int answer =
        ShowMessage(Tessel::String("Delete all \xC3\xA9?"), MB_YESNO | MB_ICONQUESTION);
    returned = true;
    presser.join();
    DestroyWindow(owner);

    EXPECT_EQ(answer, IDYES);
    EXPECT_EQ(seenCaption, L"Glimpser");
    EXPECT_EQ(seenText, L"Delete all \u00e9?");
    EXPECT_EQ(seenOwner, owner);
}

}  // namespace
