#include "tray/hotkey_rules.h"

#include "tessel/string_builder.h"
#include "win/command_ids.h"

namespace {
constexpr uint32_t kPrintScreen = 0x2C;  // VK_SNAPSHOT
}  // namespace

const TrayHotkey kTrayHotkeys[kTrayHotkeyCount] = {
    {ID_CAPTURE_REGION, "HotkeyCapture", kPrintScreen},
    {ID_CAPTURE_SAME, "HotkeySameRegion", uint32_t{kHotkeyShift} << 8 | kPrintScreen},
    {ID_CAPTURE_REGION_DELAY5, "HotkeyDelayed", uint32_t{kHotkeyControl} << 8 | kPrintScreen},
};

namespace {

struct NamedKey {
    uint8_t key;
    const char* name;
};

// The keys a hotkey may use, by virtual key. Letters, digits and F-keys are made by rule
// below. Not here: the modifier keys and mouse buttons, which cannot be a hotkey's key, and
// F12, which Windows keeps for the debugger. The punctuation keys carry the names of a US
// keyboard, whose layout their virtual keys follow.
const NamedKey kNamedKeys[] = {
    {0x08, "Backspace"},   {0x09, "Tab"},    {0x0D, "Enter"}, {0x13, "Pause"},
    {0x14, "Caps Lock"},   {0x1B, "Esc"},    {0x20, "Space"}, {0x21, "Page Up"},
    {0x22, "Page Down"},   {0x23, "End"},    {0x24, "Home"},  {0x25, "Left"},
    {0x26, "Up"},          {0x27, "Right"},  {0x28, "Down"},  {0x2C, "Print Screen"},
    {0x2D, "Insert"},      {0x2E, "Delete"}, {0x6A, "Num *"}, {0x6B, "Num +"},
    {0x6D, "Num -"},       {0x6E, "Num ."},  {0x6F, "Num /"}, {0x90, "Num Lock"},
    {0x91, "Scroll Lock"}, {0xBA, ";"},      {0xBB, "="},     {0xBC, ","},
    {0xBD, "-"},           {0xBE, "."},      {0xBF, "/"},     {0xC0, "`"},
    {0xDB, "["},           {0xDC, "\\"},     {0xDD, "]"},     {0xDE, "'"},
};

constexpr uint8_t kF1 = 0x70, kF12 = 0x7B, kF24 = 0x87, kNumpad0 = 0x60;

// Writes the key's name and answers true, or answers false for a key no hotkey may use.
bool AppendKeyName(Tessel::StringBuilder<char>& text, uint8_t key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
        text.Write(static_cast<char>(key));
        return true;
    }
    if (key >= kNumpad0 && key <= kNumpad0 + 9) {
        text.Append("Num ");
        text.Write(static_cast<char>('0' + key - kNumpad0));
        return true;
    }
    if (key >= kF1 && key <= kF24 && key != kF12) {
        const int number = key - kF1 + 1;
        text.Write('F');
        if (number >= 10) {
            text.Write(static_cast<char>('0' + number / 10));
        }
        text.Write(static_cast<char>('0' + number % 10));
        return true;
    }
    for (const NamedKey& named : kNamedKeys) {
        if (named.key == key) {
            text.Append(named.name);
            return true;
        }
    }
    return false;
}

constexpr uint8_t kAllModifiers = kHotkeyAlt | kHotkeyControl | kHotkeyShift | kHotkeyWin;

}  // namespace

Hotkey DecodeHotkey(uint32_t value) {
    const Hotkey hotkey{static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)};
    if (value > 0xFFFF || (hotkey.modifiers & ~kAllModifiers) != 0 ||
        HotkeyText(hotkey).IsEmpty()) {
        return Hotkey{};
    }
    return hotkey;
}

Tessel::String HotkeyText(Hotkey hotkey) {
    // The order of Windows' own shortcut names: "Win+Ctrl+Alt+Shift+key".
    static const struct {
        uint8_t bit;
        const char* name;
    } modifierNames[] = {
        {kHotkeyWin, "Win+"},
        {kHotkeyControl, "Ctrl+"},
        {kHotkeyAlt, "Alt+"},
        {kHotkeyShift, "Shift+"},
    };
    Tessel::StringBuilder<char> text;
    for (const auto& modifier : modifierNames) {
        if (hotkey.modifiers & modifier.bit) {
            text.Append(modifier.name);
        }
    }
    return AppendKeyName(text, hotkey.key) ? text.ToString() : Tessel::String();
}

namespace {

// "a", "a and b", "a, b and c".
void AppendList(Tessel::StringBuilder<char>& text, const char* const items[], int count) {
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            text.Append(i == count - 1 ? " and " : ", ");
        }
        text.Append(items[i]);
    }
}

}  // namespace

Tessel::String HotkeysTakenText(const char* const keys[], const char* const settings[], int count) {
    const bool one = count == 1;
    Tessel::StringBuilder<char> text;
    AppendList(text, keys, count);
    text.Append(one ? " is already in use. Glimpser's setting "
                    : " are already in use. Glimpser's settings ");
    AppendList(text, settings, count);
    text.Append(one ? " chooses another key." : " choose other keys.");
    return text.ToString();
}
