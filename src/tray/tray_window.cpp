#include "tray/tray_window.h"

#include <shellapi.h>
#include <windowsx.h>

#include "capture/capture_session.h"
#include "history/history_folder.h"
#include "imaging/bitmap_utils.h"
#include "tray/self_launch.h"
#include "win/com_start.h"
#include "win/rect.h"
#include "win/settings.h"
#include "win/win_text.h"

namespace {

// Version 4 notifications need the full record, balloon and GUID fields included.
static_assert(sizeof(NOTIFYICONDATAW) == 976, "NOTIFYICONDATAW of Vista and later");

const wchar_t kTrayMutexName[] = L"TarrowbySoftware.Glimpser.Tray";
constexpr UINT kIconId = 1;

NOTIFYICONDATAW IconRecord(HWND window) {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = window;
    data.uID = kIconId;
    return data;
}

bool IncludeCursorSetting() {
    return GetSettingInt("Settings", "IncludeCursor", 1) != 0;
}

bool HasCaptureRegion() {
    return !IsRectEmpty(LoadCaptureRegion());
}

}  // namespace

int RunTray() {
    HANDLE created = CreateMutexW(nullptr, FALSE, kTrayMutexName);
    const DWORD error = GetLastError();
    ScopedHandle mutex(created);
    // Another tray of this session owns the icon; it is not told about us.
    if (created != nullptr && error == ERROR_ALREADY_EXISTS) {
        return 0;
    }
    CTrayWindow window(RegisterWindowMessageW(L"TaskbarCreated"));
    const RECT none = {};
    if (window.Create(nullptr, none, L"Glimpser Tray", WS_POPUP, WS_EX_TOOLWINDOW) == nullptr) {
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

void PrepareTrayMenu(HMENU popup, const CTrayHotkeys& hotkeys) {
    SetMenuDefaultItem(popup, ID_CAPTURE_REGION, FALSE);
    CheckMenuItem(popup, ID_INCLUDE_CURSOR,
                  MF_BYCOMMAND | (IncludeCursorSetting() ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(popup, ID_RUN_AT_STARTUP,
                  MF_BYCOMMAND | (IsRunAtStartup() ? MF_CHECKED : MF_UNCHECKED));
    const UINT sameRegion = MF_BYCOMMAND | (HasCaptureRegion() ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(popup, ID_CAPTURE_SAME, sameRegion);
    EnableMenuItem(popup, ID_CAPTURE_SAME_DELAY5, sameRegion);
    EnableMenuItem(popup, ID_CAPTURE_SAME_DELAY15, sameRegion);
    hotkeys.ShowInMenu(popup);
}

LRESULT CTrayWindow::OnCreate(UINT, WPARAM, LPARAM, bool&) {
    icon.Reset(LoadIconAtSize(IDI_GLIMPSER, false));
    // The keys are held before the icon shows: once the user sees the icon, they work.
    const Tessel::String taken = hotkeys.Register(hwnd);
    AddNotifyIcon();
    // Told once per start: the tray works on without the keys, and trying again would not
    // free them.
    if (!taken.IsNull()) {
        ShowBalloon(taken);
    }
    return 0;
}

LRESULT CTrayWindow::OnDestroy(UINT, WPARAM, LPARAM, bool&) {
    hotkeys.Release();
    NOTIFYICONDATAW data = IconRecord(hwnd);
    Shell_NotifyIconW(NIM_DELETE, &data);
    PostQuitMessage(0);
    return 0;
}

LRESULT CTrayWindow::OnTrayIcon(UINT, WPARAM wParam, LPARAM lParam, bool&) {
    switch (LOWORD(lParam)) {
        case WM_CONTEXTMENU:
            // Version 4 icons give the anchor point in wParam, as signed 16-bit coordinates.
            ShowTrayMenu(POINT{GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)});
            break;
        case NIN_SELECT:
        case NIN_KEYSELECT:
            LaunchCapture(ID_CAPTURE_REGION, lastLaunchTicks);
            break;
        default:
            break;
    }
    return 0;
}

LRESULT CTrayWindow::OnTaskbarCreated(UINT, WPARAM, LPARAM, bool&) {
    AddNotifyIcon();
    return 0;
}

LRESULT CTrayWindow::OnHotKey(UINT, WPARAM id, LPARAM, bool&) {
    const auto command = static_cast<uint16_t>(id);
    // Like its grey menu item, the same-region key has nothing to cut before a first region.
    if (!hotkeys.Holds(command) || (command == ID_CAPTURE_SAME && !HasCaptureRegion())) {
        return 0;
    }
    LaunchCapture(command, lastLaunchTicks);
    return 0;
}

LRESULT CTrayWindow::OnCommandCapture(WORD, WORD id, HWND, bool&) {
    LaunchCapture(id, lastLaunchTicks);
    return 0;
}

LRESULT CTrayWindow::OnCommandIncludeCursor(WORD, WORD, HWND, bool&) {
    SetSettingInt("Settings", "IncludeCursor", IncludeCursorSetting() ? 0 : 1);
    return 0;
}

LRESULT CTrayWindow::OnCommandOpenLastCapture(WORD, WORD, HWND, bool&) {
    LaunchSelf(Tessel::String("/open"));
    return 0;
}

LRESULT CTrayWindow::OnCommandOpenHistoryFolder(WORD, WORD, HWND, bool&) {
    const Tessel::String folder = GetHistoryFolder();
    // An empty path would have the shell open whatever it takes for the current folder.
    if (folder.IsEmpty()) {
        return 0;
    }
    StartComOnce();
    ShellExecuteW(nullptr, nullptr, WStr(ToWide(folder)), nullptr, nullptr, SW_SHOWNORMAL);
    return 0;
}

LRESULT CTrayWindow::OnCommandRunAtStartup(WORD, WORD, HWND, bool&) {
    SetRunAtStartup(!IsRunAtStartup());
    return 0;
}

LRESULT CTrayWindow::OnCommandExit(WORD, WORD, HWND, bool&) {
    DestroyWindow(hwnd);
    return 0;
}

void CTrayWindow::AddNotifyIcon() {
    NOTIFYICONDATAW data = IconRecord(hwnd);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    data.uCallbackMessage = WM_TRAYICON;
    data.hIcon = icon.Get();
    lstrcpynW(data.szTip, L"Glimpser", ARRAYSIZE(data.szTip));
    Shell_NotifyIconW(NIM_ADD, &data);
    data.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &data);
}

void CTrayWindow::ShowBalloon(const Tessel::String& text) {
    NOTIFYICONDATAW data = IconRecord(hwnd);
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_WARNING;
    lstrcpynW(data.szInfoTitle, L"Glimpser", ARRAYSIZE(data.szInfoTitle));
    lstrcpynW(data.szInfo, WStr(ToWide(text)), ARRAYSIZE(data.szInfo));
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

void CTrayWindow::ShowTrayMenu(POINT at) {
    ScopedMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU)));
    HMENU popup = GetSubMenu(menu.Get(), MENU_POPUP_TRAY);
    if (popup == nullptr) {
        return;
    }
    PrepareTrayMenu(popup, hotkeys);
    // The menu only closes on a click elsewhere when its owner is the foreground window.
    SetForegroundWindow(hwnd);
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd, nullptr);
    PostMessageW(hwnd, WM_NULL, 0, 0);
}
