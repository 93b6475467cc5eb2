#include "tray/tray_hotkeys.h"

#include "tessel/format.h"
#include "win/settings.h"
#include "win/win_text.h"

Tessel::String CTrayHotkeys::Register(HWND window) {
    Release();
    owner = window;
    Tessel::String takenKeys[kTrayHotkeyCount];
    const char* keyTexts[kTrayHotkeyCount];
    const char* settings[kTrayHotkeyCount];
    int taken = 0;
    for (int i = 0; i < kTrayHotkeyCount; ++i) {
        const TrayHotkey& tray = kTrayHotkeys[i];
        const Hotkey hotkey = DecodeHotkey(static_cast<uint32_t>(
            GetSettingInt("Settings", tray.setting, static_cast<int32_t>(tray.defaultValue))));
        if (hotkey.key == 0) {
            continue;
        }
        // A key held down starts one capture, not one per repeat.
        if (RegisterHotKey(window, tray.command, hotkey.modifiers | MOD_NOREPEAT, hotkey.key)) {
            held[i] = hotkey;
        } else {
            takenKeys[taken] = HotkeyText(hotkey);
            keyTexts[taken] = takenKeys[taken].CStr();
            settings[taken] = tray.setting;
            ++taken;
        }
    }
    return taken == 0 ? Tessel::String() : HotkeysTakenText(keyTexts, settings, taken);
}

void CTrayHotkeys::Release() {
    for (int i = 0; i < kTrayHotkeyCount; ++i) {
        if (held[i].key != 0) {
            UnregisterHotKey(owner, kTrayHotkeys[i].command);
            held[i] = Hotkey{};
        }
    }
}

bool CTrayHotkeys::Holds(uint16_t command) const {
    for (int i = 0; i < kTrayHotkeyCount; ++i) {
        if (kTrayHotkeys[i].command == command) {
            return held[i].key != 0;
        }
    }
    return false;
}

void CTrayHotkeys::ShowInMenu(HMENU popup) const {
    for (int i = 0; i < kTrayHotkeyCount; ++i) {
        if (held[i].key == 0) {
            continue;
        }
        wchar_t item[MAX_PATH];
        if (GetMenuStringW(popup, kTrayHotkeys[i].command, item, MAX_PATH, MF_BYCOMMAND) == 0) {
            continue;
        }
        const Tessel::WString text =
            ToWide(Tessel::Format("%s\t%s", ToUtf8(item).CStr(), HotkeyText(held[i]).CStr()));
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STRING;
        info.dwTypeData = const_cast<wchar_t*>(WStr(text));
        SetMenuItemInfoW(popup, kTrayHotkeys[i].command, FALSE, &info);
    }
}
