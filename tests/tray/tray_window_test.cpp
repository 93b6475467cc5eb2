#include "tray/tray_window.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/rect.h"
#include "app/scoped_win.h"
#include "app/settings.h"
#include "capture/capture_session.h"
#include "tray/launch_rules.h"
#include "tray/self_launch.h"

namespace {

const wchar_t kSettingsKey[] = L"Software\\Tarrowby Software\\Glimpser\\Settings";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void DeleteValue(const wchar_t* keyPath, const wchar_t* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        ScopedKey owned(key);
        RegDeleteValueW(key, name);
    }
}

std::vector<std::string> launched;

bool RecordLaunch(const Tessel::String& commandLine) {
    launched.push_back(commandLine.CStr());
    return true;
}

// The switches of a recorded launch line: what follows the quoted program path.
std::string SwitchesOf(const std::string& line) {
    const size_t end = line.find("\" ");
    return end == std::string::npos ? line : line.substr(end + 2);
}

UINT TaskbarCreatedMessage() {
    return RegisterWindowMessageW(L"TaskbarCreated");
}

class TrayWindow : public testing::Test {
protected:
    void SetUp() override {
        DeleteValue(kSettingsKey, L"IncludeCursor");
        DeleteValue(kSettingsKey, L"CaptureRegion");
        DeleteValue(kRunKey, L"Glimpser");
        launched.clear();
        previousHook = SetLaunchHookForTesting(RecordLaunch);
    }
    void TearDown() override {
        SetLaunchHookForTesting(previousHook);
        DeleteValue(kSettingsKey, L"IncludeCursor");
        DeleteValue(kSettingsKey, L"CaptureRegion");
        DeleteValue(kRunKey, L"Glimpser");
    }

    // A fresh tray window, so that no earlier launch debounces the next one.
    struct Window {
        Window() : tray(TaskbarCreatedMessage()) {
            const RECT none = {};
            handle = tray.Create(nullptr, none, L"Glimpser Tray", WS_POPUP, WS_EX_TOOLWINDOW);
        }
        ~Window() {
            if (IsWindow(handle))
                DestroyWindow(handle);
            // Leave no WM_QUIT from WM_DESTROY behind for the next test's loops.
            MSG message;
            while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
            }
        }
        void Command(WORD id) { SendMessageW(handle, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
        void IconEvent(WORD event) { SendMessageW(handle, WM_TRAYICON, 0, MAKELPARAM(event, 1)); }

        CTrayWindow tray;
        HWND handle = nullptr;
    };

    // The "Tray" popup as the menu would show it now; state of one item by command.
    struct Menu {
        Menu() : menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU))) {
            popup = GetSubMenu(menu.Get(), MENU_POPUP_TRAY);
            PrepareTrayMenu(popup);
        }
        UINT State(UINT id) const { return GetMenuState(popup, id, MF_BYCOMMAND); }
        bool Checked(UINT id) const { return (State(id) & MF_CHECKED) != 0; }
        bool Grayed(UINT id) const { return (State(id) & MF_GRAYED) != 0; }

        ScopedMenu menu;
        HMENU popup = nullptr;
    };

    LaunchHook previousHook = nullptr;
};

TEST_F(TrayWindow, IncludeCursorTogglesTheSettingAndItsCheckMark) {
    Window window;
    ASSERT_NE(window.handle, nullptr);
    EXPECT_TRUE(Menu().Checked(ID_INCLUDE_CURSOR));  // absent means 1
    window.Command(ID_INCLUDE_CURSOR);
    EXPECT_EQ(GetSettingInt("Settings", "IncludeCursor", -1), 0);
    EXPECT_FALSE(Menu().Checked(ID_INCLUDE_CURSOR));
    window.Command(ID_INCLUDE_CURSOR);
    EXPECT_EQ(GetSettingInt("Settings", "IncludeCursor", -1), 1);
    EXPECT_TRUE(Menu().Checked(ID_INCLUDE_CURSOR));
}

TEST_F(TrayWindow, RunAtStartupWritesAndDeletesTheLogOnEntry) {
    Window window;
    EXPECT_FALSE(Menu().Checked(ID_RUN_AT_STARTUP));
    window.Command(ID_RUN_AT_STARTUP);
    EXPECT_TRUE(IsRunAtStartup());
    EXPECT_TRUE(Menu().Checked(ID_RUN_AT_STARTUP));
    window.Command(ID_RUN_AT_STARTUP);
    EXPECT_FALSE(IsRunAtStartup());
    EXPECT_FALSE(Menu().Checked(ID_RUN_AT_STARTUP));

    // A number under our name is no entry: the check mark stays off and the command writes
    // a real one over it.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const DWORD number = 1;
    ScopedKey owned(key);
    RegSetValueExW(key, L"Glimpser", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof(number));
    owned.Reset();
    EXPECT_FALSE(Menu().Checked(ID_RUN_AT_STARTUP));
    window.Command(ID_RUN_AT_STARTUP);
    EXPECT_TRUE(IsRunAtStartup());
}

TEST_F(TrayWindow, SameRegionItemsAreGreyedWithoutAStoredRegion) {
    const UINT sameRegionItems[] = {ID_CAPTURE_SAME, ID_CAPTURE_SAME_DELAY5,
                                    ID_CAPTURE_SAME_DELAY15};
    struct Case {
        bool store;
        Rect region;
        bool grayed;
    };
    const Case cases[] = {
        {false, {0, 0, 0, 0}, true},
        {true, {10, 20, 300, 200}, false},
        {true, {-1920, 0, -1000, 500}, false},  // on a monitor left of the primary
        {true, {50, 50, 50, 400}, true},        // no width
    };
    for (const Case& c : cases) {
        DeleteValue(kSettingsKey, L"CaptureRegion");
        if (c.store)
            SaveCaptureRegion(c.region);
        Menu menu;
        for (UINT id : sameRegionItems) {
            EXPECT_EQ(menu.Grayed(id), c.grayed) << id << " region " << c.region.left;
        }
        EXPECT_FALSE(menu.Grayed(ID_CAPTURE_REGION));
        EXPECT_EQ(GetMenuDefaultItem(menu.popup, FALSE, 0), static_cast<UINT>(ID_CAPTURE_REGION));
    }
}

TEST_F(TrayWindow, EveryCaptureCommandLaunchesItsOwnSwitches) {
    const WORD ids[] = {ID_CAPTURE_REGION, ID_CAPTURE_REGION_DELAY5, ID_CAPTURE_REGION_DELAY15,
                        ID_CAPTURE_SAME,   ID_CAPTURE_SAME_DELAY5,   ID_CAPTURE_SAME_DELAY15};
    Window window;
    for (WORD id : ids) {
        launched.clear();
        window.Command(id);
        ASSERT_EQ(launched.size(), 1u) << id;
        EXPECT_EQ(SwitchesOf(launched[0]), CaptureSwitches(id));
        Sleep(kLaunchDebounceMs + 50);
    }
}

TEST_F(TrayWindow, IconClickAndKeyboardSelectLaunchOneRegionCapture) {
    {
        Window window;
        window.IconEvent(NIN_SELECT);
        window.IconEvent(NIN_SELECT);  // the second click of a double click
        window.IconEvent(WM_MOUSEMOVE);
        ASSERT_EQ(launched.size(), 1u);
        EXPECT_EQ(SwitchesOf(launched[0]), "/capture:region");
    }
    Window window;
    window.IconEvent(NIN_KEYSELECT);
    ASSERT_EQ(launched.size(), 2u);
    EXPECT_EQ(SwitchesOf(launched[1]), "/capture:region");
}

TEST_F(TrayWindow, OpenLastCapturedImageIsNeitherDebouncedNorHeldByACapture) {
    Window window;
    {
        ScopedHandle capturing(CreateMutexW(nullptr, FALSE, kCaptureMutexName));
        window.Command(ID_OPEN_LAST_CAPTURE);
        window.Command(ID_OPEN_LAST_CAPTURE);
        window.Command(ID_CAPTURE_REGION);  // held back by the running capture
    }
    ASSERT_EQ(launched.size(), 2u);
    EXPECT_EQ(SwitchesOf(launched[0]), "/open");
    EXPECT_EQ(SwitchesOf(launched[1]), "/open");
}

// Shell_NotifyIconW answers NIM_MODIFY only for an icon that is present.
bool IconPresent(HWND window) {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = 1;
    data.uFlags = NIF_TIP;
    lstrcpynW(data.szTip, L"Glimpser", ARRAYSIZE(data.szTip));
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

TEST_F(TrayWindow, TaskbarCreatedAddsTheIconAgain) {
    Window window;
    ASSERT_TRUE(IconPresent(window.handle));
    // What a restarted taskbar looks like to us: the icon is gone.
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window.handle;
    data.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
    ASSERT_FALSE(IconPresent(window.handle));
    SendMessageW(window.handle, TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(IconPresent(window.handle));
}

TEST_F(TrayWindow, ExitRemovesTheIconAndEndsTheLoop) {
    Window window;
    ASSERT_TRUE(IconPresent(window.handle));
    const HWND handle = window.handle;
    window.Command(ID_EXIT);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_FALSE(IconPresent(handle));
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
}

bool TrayMutexExists() {
    ScopedHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, L"TarrowbySoftware.Glimpser.Tray"));
    return static_cast<bool>(mutex);
}

// Runs inside RunTray's own message loop, once its window exists.
int nestedTrayResult = -1;
bool mutexHeldWhileRunning = false;

void CALLBACK WhileTrayRuns(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    mutexHeldWhileRunning = TrayMutexExists();
    nestedTrayResult = RunTray();  // a second tray: must end at once
    const HWND tray = FindWindowW(nullptr, L"Glimpser Tray");
    if (tray != nullptr)
        SendMessageW(tray, WM_COMMAND, MAKEWPARAM(ID_EXIT, 0), 0);
}

TEST_F(TrayWindow, SecondTrayEndsAtOnceAndExitReleasesTheMutex) {
    ASSERT_EQ(FindWindowW(nullptr, L"Glimpser Tray"), nullptr);
    SetTimer(nullptr, 0, 10, WhileTrayRuns);
    EXPECT_EQ(RunTray(), 0);
    EXPECT_TRUE(mutexHeldWhileRunning);
    EXPECT_EQ(nestedTrayResult, 0);
    EXPECT_EQ(FindWindowW(nullptr, L"Glimpser Tray"), nullptr);
    EXPECT_FALSE(TrayMutexExists());
}

TEST_F(TrayWindow, TrayRunningElsewhereMakesRunTrayReturnAtOnce) {
    ScopedHandle other(CreateMutexW(nullptr, FALSE, L"TarrowbySoftware.Glimpser.Tray"));
    ASSERT_TRUE(other);
    EXPECT_EQ(RunTray(), 0);
    EXPECT_EQ(FindWindowW(nullptr, L"Glimpser Tray"), nullptr);
}

}  // namespace
