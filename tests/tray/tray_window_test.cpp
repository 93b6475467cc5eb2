#include "tray/tray_window.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>

#include <string>
#include <vector>

#include "capture/capture_session.h"
#include "tray/self_launch.h"
#include "win/rect.h"
#include "win/settings.h"

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
        PrepareTrayMenu(popup);
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
