#include "tray/tray_window.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>

#include <string>
#include <initializer_list>
#include <iterator>
#include <vector>

#include "capture/capture_session.h"
#include "support/input.h"
#include "tray/self_launch.h"
#include "win/rect.h"
#include "win/settings.h"
#include "win/win_text.h"

namespace {

void DeleteSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarrowby Software\\Glimpser");
    SetRunAtStartup(false);
}

// The end-to-end tray tests drive the commands themselves; here, what the menu shows of them.
TEST(TrayMenu, ChecksAndGreyedItemsFollowTheSettings) {
    const struct {
        bool store;
        Rect region;
        bool turned;  // IncludeCursor 0 and a log-on entry, else both absent (absent cursor is 1)
        bool grayed;
    } cases[] = {
        {false, {0, 0, 0, 0}, false, true},
        {true, {-1920, 0, -1000, 500}, true, false},  // on a monitor left of the primary
        {true, {50, 50, 50, 400}, false, true},       // no width
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.region.left);
        DeleteSettings();
        if (c.store)
            SaveCaptureRegion(c.region);
        if (c.turned) {
            SetSettingInt("Settings", "IncludeCursor", 0);
            SetRunAtStartup(true);
        }
        ScopedMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU)));
        const HMENU popup = GetSubMenu(menu.Get(), MENU_POPUP_TRAY);
        PrepareTrayMenu(popup, CTrayHotkeys());
        const auto state = [popup](UINT id) { return GetMenuState(popup, id, MF_BYCOMMAND); };
        for (UINT id : {ID_CAPTURE_SAME, ID_CAPTURE_SAME_DELAY5, ID_CAPTURE_SAME_DELAY15}) {
            EXPECT_EQ((state(id) & MF_GRAYED) != 0, c.grayed) << id;
        }
        EXPECT_EQ(state(ID_CAPTURE_REGION) & MF_GRAYED, 0u);
        EXPECT_EQ(GetMenuDefaultItem(popup, FALSE, 0), static_cast<UINT>(ID_CAPTURE_REGION));
        EXPECT_EQ((state(ID_INCLUDE_CURSOR) & MF_CHECKED) != 0, !c.turned);
        EXPECT_EQ((state(ID_RUN_AT_STARTUP) & MF_CHECKED) != 0, c.turned);
    }
    DeleteSettings();
}

std::string MenuText(HMENU popup, UINT id) {
    wchar_t text[MAX_PATH] = L"";
    GetMenuStringW(popup, id, text, MAX_PATH, MF_BYCOMMAND);
    return ToUtf8(text).CStr();
}

// What the three settings make of the keys: the keys held (and shown beside their menu items),
// the one balloon about keys another program holds, and the command each real key press brings.
TEST(TrayHotkeys, SettingsChooseTheKeysHeldShownAndPressed) {
    constexpr DWORD kAbsent = 0xDEAD;
    const std::initializer_list<WORD> presses[] = {{VK_SNAPSHOT},
                                                   {VK_SHIFT, VK_SNAPSHOT},
                                                   {VK_CONTROL, VK_SNAPSHOT},
                                                   {VK_CONTROL, VK_MENU, 'S'}};
    const struct {
        DWORD settings[kTrayHotkeyCount];     // HotkeyCapture, HotkeySameRegion, HotkeyDelayed
        const char* shown[kTrayHotkeyCount];  // beside each item; nullptr: no key
        const char* balloon;                  // nullptr: none
        WPARAM commands[std::size(presses)];  // what each press brings, 0: nothing
    } cases[] = {
        // 1 for Print Screen: another program holds it, and has its presses.
        {{kAbsent, kAbsent, kAbsent},
         {"Print Screen", "Shift+Print Screen", "Ctrl+Print Screen"},
         nullptr,
         {ID_CAPTURE_REGION, ID_CAPTURE_SAME, ID_CAPTURE_REGION_DELAY5, 0}},
        // 0 is no key.
        {{kAbsent, kAbsent, 0},
         {nullptr, "Shift+Print Screen", nullptr},
         "Print Screen is already in use. Glimpser's setting HotkeyCapture chooses another key.",
         {1, ID_CAPTURE_SAME, 0, 0}},
        // A value naming no key is none; two settings naming one key: the second cannot have it.
        {{0x0400, 0x0353, 0x0353},
         {nullptr, "Ctrl+Alt+S", nullptr},
         "Ctrl+Alt+S is already in use. Glimpser's setting HotkeyDelayed chooses another key.",
         {0, 0, 0, ID_CAPTURE_SAME}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        DeleteSettings();
        for (int i = 0; i < kTrayHotkeyCount; ++i)
            if (c.settings[i] != kAbsent)
                SetSettingInt("Settings", kTrayHotkeys[i].setting,
                              static_cast<int32_t>(c.settings[i]));
        const bool printScreenElsewhere = c.commands[0] == 1;
        if (printScreenElsewhere) {
            ASSERT_TRUE(RegisterHotKey(nullptr, 1, 0, VK_SNAPSHOT));
        }
        // With no window, the keys' WM_HOTKEY come to this thread's queue.
        CTrayHotkeys hotkeys;
        const Tessel::String balloon = hotkeys.Register(nullptr);
        EXPECT_STREQ(balloon.IsNull() ? nullptr : balloon.CStr(), c.balloon);
        ScopedMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU)));
        const HMENU popup = GetSubMenu(menu.Get(), MENU_POPUP_TRAY);
        std::string items[kTrayHotkeyCount];
        for (int i = 0; i < kTrayHotkeyCount; ++i)
            items[i] = MenuText(popup, kTrayHotkeys[i].command);
        PrepareTrayMenu(popup, hotkeys);
        for (int i = 0; i < kTrayHotkeyCount; ++i)
            EXPECT_EQ(MenuText(popup, kTrayHotkeys[i].command),
                      c.shown[i] ? items[i] + '\t' + c.shown[i] : items[i]);
        for (size_t i = 0; i < std::size(presses); ++i) {
            std::vector<WPARAM> pressed;
            PressKeys(presses[i]);
            Sleep(300);
            for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);)
                if (m.message == WM_HOTKEY)
                    pressed.push_back(m.wParam);
            EXPECT_EQ(pressed, c.commands[i] ? std::vector{c.commands[i]} : std::vector<WPARAM>{})
                << i;
        }
        if (printScreenElsewhere)
            UnregisterHotKey(nullptr, 1);
    }
    DeleteSettings();
}

// Records each launch instead of starting it; the first one fails.
std::vector<std::string> launched;
bool RecordLaunch(const Tessel::String& commandLine) {
    launched.push_back(commandLine.CStr());
    return launched.size() > 1;
}

// A launch that fails does not start the debounce time, so the next select launches at once;
// the keyboard select launches too. The tray's end-to-end test restarts the taskbar.
TEST(TrayWindow, FailedLaunchDoesNotHoldBackTheNext) {
    const LaunchHook previous = SetLaunchHookForTesting(RecordLaunch);
    CTrayWindow tray{RegisterWindowMessageW(L"TaskbarCreated")};
    // Not "Glimpser Tray": RunTray's own window must be the only one of that title.
    const HWND handle =
        tray.Create(nullptr, RECT{}, L"Tray under test", WS_POPUP, WS_EX_TOOLWINDOW);
    ASSERT_NE(handle, nullptr);
    SendMessageW(handle, WM_TRAYICON, 0, MAKELPARAM(NIN_KEYSELECT, 1));
    SendMessageW(handle, WM_TRAYICON, 0, MAKELPARAM(NIN_SELECT, 1));
    const std::string line = "\"" + std::string(GetModulePath().CStr()) + "\" /capture:region";
    EXPECT_EQ(launched, std::vector<std::string>(2, line));
    DestroyWindow(handle);
    // Leave no WM_QUIT from WM_DESTROY behind for other tests' loops.
    for (MSG message; PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);) {
    }
    SetLaunchHookForTesting(previous);
}

}  // namespace
