// The tray's capture hotkeys: what their settings mean, how a key is written in the menu, and
// what the user is told when a key is held by another program.
#ifndef GLIMPSER_TRAY_HOTKEY_RULES_H
#define GLIMPSER_TRAY_HOTKEY_RULES_H

#include <cstdint>

#include "tessel/string_core.h"

// RegisterHotKey's modifier bits, as they stand in the second byte of a setting.
constexpr uint8_t kHotkeyAlt = 0x01;
constexpr uint8_t kHotkeyControl = 0x02;
constexpr uint8_t kHotkeyShift = 0x04;
constexpr uint8_t kHotkeyWin = 0x08;

struct Hotkey {
    uint8_t key = 0;        // the virtual key; 0 = no hotkey
    uint8_t modifiers = 0;  // kHotkeyAlt | kHotkeyControl | kHotkeyShift | kHotkeyWin
};

// One hotkey of the tray: the command it starts, its setting, and the key it has while the
// setting is absent.
struct TrayHotkey {
    uint16_t command;
    const char* setting;
    uint32_t defaultValue;
};

constexpr int kTrayHotkeyCount = 3;
extern const TrayHotkey kTrayHotkeys[kTrayHotkeyCount];

// A setting's value: the virtual key in the low byte, the modifiers in the next. 0, a value
// that names no key this program knows, or an impossible one (bits beyond the two bytes, an
// unknown modifier, a modifier key or a mouse button as the key) gives no hotkey.
Hotkey DecodeHotkey(uint32_t value);

// The key as Windows menus show accelerators ("Ctrl+Print Screen"); empty for no hotkey.
Tessel::String HotkeyText(Hotkey hotkey);

// The balloon's text when keys could not be taken: `keys` and `settings` are the keys' texts
// and their settings' names, `count` of each (at least 1).
Tessel::String HotkeysTakenText(const char* const keys[], const char* const settings[], int count);

#endif
