// The tray's capture hotkeys, held by its window from its creation until it is destroyed.
#ifndef GLIMPSER_TRAY_TRAY_HOTKEYS_H
#define GLIMPSER_TRAY_TRAY_HOTKEYS_H

#include <windows.h>

#include <cstdint>

#include "tessel/string_core.h"
#include "tray/hotkey_rules.h"

class CTrayHotkeys {
public:
    CTrayHotkeys() = default;
    CTrayHotkeys(const CTrayHotkeys&) = delete;
    CTrayHotkeys& operator=(const CTrayHotkeys&) = delete;
    ~CTrayHotkeys() { Release(); }

    // Takes the key each setting names for the window, which then receives WM_HOTKEY with the
    // command number. Answers what the user is told about keys another program holds, or the
    // null string when every key that is set was taken.
    Tessel::String Register(HWND window);
    void Release();

    // True while the window holds a key for the command.
    bool Holds(uint16_t command) const;

    // Writes each held key beside its item, as menus show accelerators ("item\tkey").
    void ShowInMenu(HMENU popup) const;

private:
    HWND owner = nullptr;
    Hotkey held[kTrayHotkeyCount];  // no key where none is held
};

#endif
