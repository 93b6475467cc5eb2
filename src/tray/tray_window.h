// Tray mode: one hidden window that owns the notification icon and turns its clicks and menu
// commands into new processes of this program.
#ifndef GLIMPSER_TRAY_TRAY_WINDOW_H
#define GLIMPSER_TRAY_TRAY_WINDOW_H

#include <windows.h>

#include <cstdint>

#include "tray/tray_hotkeys.h"
#include "win/command_ids.h"
#include "win/scoped_win.h"
#include "win/window_impl.h"

// The notification icon reports its events with this message.
constexpr UINT WM_TRAYICON = WM_APP + 1;

// Runs the tray until "E&xit": 0, also when another tray already runs; 1 when the window
// cannot be created.
int RunTray();

// Sets the default item, the check marks, the greyed same-region items and the held hotkeys of
// the "Tray" popup from the settings and the log-on entry, as the menu shows them right now.
void PrepareTrayMenu(HMENU popup, const CTrayHotkeys& hotkeys);

class CTrayWindow : public CWindowImpl<CTrayWindow> {
public:
    // `taskbarCreated` is the registered "TaskbarCreated" message, which asks every icon
    // owner to add its icon again after the taskbar was restarted.
    explicit CTrayWindow(UINT taskbarCreated) : taskbarCreated(taskbarCreated) {}

    BEGIN_MSG_MAP(CTrayWindow)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_TRAYICON, OnTrayIcon)
    MESSAGE_HANDLER(taskbarCreated, OnTaskbarCreated)
    MESSAGE_HANDLER(WM_HOTKEY, OnHotKey)
    CAPTURE_COMMAND_HANDLERS(OnCommandCapture, OnCommandIncludeCursor)
    COMMAND_ID_HANDLER(ID_OPEN_LAST_CAPTURE, OnCommandOpenLastCapture)
    COMMAND_ID_HANDLER(ID_OPEN_HISTORY_FOLDER, OnCommandOpenHistoryFolder)
    COMMAND_ID_HANDLER(ID_RUN_AT_STARTUP, OnCommandRunAtStartup)
    COMMAND_ID_HANDLER(ID_EXIT, OnCommandExit)
    END_MSG_MAP()

private:
    MessageHandler OnCreate, OnDestroy, OnTrayIcon, OnTaskbarCreated, OnHotKey;
    CommandHandler OnCommandCapture, OnCommandIncludeCursor, OnCommandOpenLastCapture,
        OnCommandOpenHistoryFolder, OnCommandRunAtStartup, OnCommandExit;

    void AddNotifyIcon();
    void ShowBalloon(const Tessel::String& text);
    void ShowTrayMenu(POINT at);

    UINT taskbarCreated;
    ScopedIcon icon;
    CTrayHotkeys hotkeys;
    uint32_t lastLaunchTicks = 0;
};

#endif
