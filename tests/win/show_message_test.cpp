#include "win/show_message.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

// A real message box: another thread finds it by its caption, reads it and presses Yes.
TEST(ShowMessage, ShowsCaptionedBoxOwnedByTheActiveWindow) {
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                                       10, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    SetForegroundWindow(owner);
    SetActiveWindow(owner);
    HWND seenOwner = nullptr;
    wchar_t seenText[64] = L"";
    std::atomic<bool> returned{false};
    std::thread presser([&] {
        HWND box = nullptr;
        while (!returned && (box = FindWindowW(L"#32770", L"Glimpser")) == nullptr) {
            Sleep(20);
        }
        if (box != nullptr) {
            GetDlgItemTextW(box, 0xFFFF, seenText, 64);
            seenOwner = GetWindow(box, GW_OWNER);
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
        }
    });
    const int answer = ShowMessage(Tessel::String("Delete all \xC3\xA9?"), MB_YESNO);
    returned = true;
    presser.join();
    DestroyWindow(owner);
    EXPECT_EQ(answer, IDYES);
    EXPECT_EQ(std::wstring(seenText), L"Delete all \u00e9?");
    EXPECT_EQ(seenOwner, owner);
}

}  // namespace
