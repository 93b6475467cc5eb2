#include "tray/tray_window.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>

#include <string>
#include <vector>

#include "capture/capture_session.h"
#include "tray/self_launch.h"
#include "win/rect.h"

namespace {

const wchar_t kSettingsKey[] = L"Software\\Tarrowby Software\\Glimpser\\Settings";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::vector<std::string> launched;
bool launchAnswer = true;

bool RecordLaunch(const Tessel::String& commandLine) {
    launched.push_back(commandLine.CStr());
    return launchAnswer;
}

std::string Expected(const char* switches) {
    return "\"" + std::string(GetModulePath().CStr()) + "\" " + switches;
}

// Shell_NotifyIconW answers NIM_MODIFY only for an icon that is present.
bool Notify(DWORD message, HWND window) {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = 1;
    return Shell_NotifyIconW(message, &data) != FALSE;
}

// Launches are recorded instead of started; the settings and the log-on entry start absent.
// Each test gets a fresh tray window, so that no earlier launch debounces its first one.
class Tray : public testing::Test {
protected:
    void SetUp() override {
        DeleteValues();
        launched.clear();
        launchAnswer = true;
        previousHook = SetLaunchHookForTesting(RecordLaunch);
        // Not "Glimpser Tray": RunTray's own window must be the only one of that title.
        handle = tray.Create(nullptr, RECT{}, L"Tray under test", WS_POPUP, WS_EX_TOOLWINDOW);
        ASSERT_NE(handle, nullptr);
    }
    void TearDown() override {
        if (IsWindow(handle))
            DestroyWindow(handle);
        // Leave no WM_QUIT from WM_DESTROY behind for the next test's loops.
        for (MSG message; PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);) {
        }
        SetLaunchHookForTesting(previousHook);
        DeleteValues();
    }
    static void DeleteValues() {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"IncludeCursor");
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"CaptureRegion");
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Glimpser");
    }
    void Command(WORD id) { SendMessageW(handle, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    void IconEvent(WORD event) { SendMessageW(handle, WM_TRAYICON, 0, MAKELPARAM(event, 1)); }

    // The state of one item of the "Tray" popup as the menu would show it now.
    static UINT MenuState(UINT id, UINT* defaultItem = nullptr) {
        ScopedMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU)));
        const HMENU popup = GetSubMenu(menu.Get(), MENU_POPUP_TRAY);
        PrepareTrayMenu(popup);
        if (defaultItem)
            *defaultItem = GetMenuDefaultItem(popup, FALSE, 0);
        return GetMenuState(popup, id, MF_BYCOMMAND);
    }
    static bool Checked(UINT id) { return (MenuState(id) & MF_CHECKED) != 0; }

    CTrayWindow tray{RegisterWindowMessageW(L"TaskbarCreated")};
    HWND handle = nullptr;
    LaunchHook previousHook = nullptr;
};

// The end-to-end tray tests drive the commands themselves; here, what the menu shows of them.
TEST_F(Tray, MenuChecksFollowTheSettings) {
    EXPECT_TRUE(Checked(ID_INCLUDE_CURSOR));  // absent means 1
    EXPECT_FALSE(Checked(ID_RUN_AT_STARTUP));
    Command(ID_INCLUDE_CURSOR);
    Command(ID_RUN_AT_STARTUP);
    EXPECT_FALSE(Checked(ID_INCLUDE_CURSOR));
    EXPECT_TRUE(Checked(ID_RUN_AT_STARTUP));
}

TEST_F(Tray, SameRegionItemsAreGreyedWithoutAStoredRegion) {
    const struct {
        bool store;
        Rect region;
        bool grayed;
    } cases[] = {
        {false, {0, 0, 0, 0}, true},
        {true, {-1920, 0, -1000, 500}, false},  // on a monitor left of the primary
        {true, {50, 50, 50, 400}, true},        // no width
    };
    for (const auto& c : cases) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"CaptureRegion");
        if (c.store)
            SaveCaptureRegion(c.region);
        for (UINT id : {ID_CAPTURE_SAME, ID_CAPTURE_SAME_DELAY5, ID_CAPTURE_SAME_DELAY15}) {
            EXPECT_EQ((MenuState(id) & MF_GRAYED) != 0, c.grayed) << id << " " << c.region.left;
        }
        UINT defaultItem = 0;
        EXPECT_EQ(MenuState(ID_CAPTURE_REGION, &defaultItem) & MF_GRAYED, 0u);
        EXPECT_EQ(defaultItem, static_cast<UINT>(ID_CAPTURE_REGION));
    }
}

// A launch that fails does not start the debounce time; the keyboard select launches too.
TEST_F(Tray, FailedLaunchDoesNotHoldBackTheNext) {
    launchAnswer = false;
    IconEvent(NIN_KEYSELECT);
    launchAnswer = true;
    IconEvent(NIN_SELECT);
    EXPECT_EQ(launched, std::vector<std::string>(2, Expected("/capture:region")));
}

TEST_F(Tray, TaskbarCreatedAddsTheIconAgain) {
    ASSERT_TRUE(Notify(NIM_MODIFY, handle));
    // What a restarted taskbar looks like to us: the icon is gone.
    ASSERT_TRUE(Notify(NIM_DELETE, handle));
    ASSERT_FALSE(Notify(NIM_MODIFY, handle));
    SendMessageW(handle, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(Notify(NIM_MODIFY, handle));
}

}  // namespace
