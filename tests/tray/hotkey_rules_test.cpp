#include "tray/hotkey_rules.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(HotkeyRules, SettingValuesNameTheirKeyOrNone) {
    const struct {
        uint32_t value;
        const char* text;  // "": no hotkey
    } cases[] = {
        {0x002C, "Print Screen"},
        {0x042C, "Shift+Print Screen"},
        {0x022C, "Ctrl+Print Screen"},
        {0x0353, "Ctrl+Alt+S"},
        {0x0F70, "Win+Ctrl+Alt+Shift+F1"},
        {0x0087, "F24"},
        {0x0869, "Win+Num 9"},
        {0x01BA, "Alt+;"},
        {0x0030, "0"},
        {0, ""},
        {0x0400, ""},      // a modifier and no key
        {0x0010, ""},      // Shift as the key itself
        {0x005B, ""},      // the Windows key as the key itself
        {0x0001, ""},      // the left mouse button
        {0x007B, ""},      // F12, which Windows keeps for the debugger
        {0x00FF, ""},      // no key at all
        {0x102C, ""},      // a modifier bit Windows does not know
        {0x402C, ""},      // "no repeat" is the tray's to add, not the setting's
        {0x1002C, ""},     // bits beyond the two bytes
        {0xFFFFFFFF, ""},  // -1
    };
    for (const auto& c : cases) {
        const Hotkey hotkey = DecodeHotkey(c.value);
        EXPECT_EQ(HotkeyText(hotkey).CStr(), std::string(c.text)) << std::hex << c.value;
        EXPECT_EQ(hotkey.key == 0, *c.text == 0) << std::hex << c.value;
    }
}

// Every value either is no hotkey or is a key that gives back the same value and a name of its
// own, so the menu never shows one name for two keys. Three of the longest names still fit the
// balloon's 256 units.
TEST(HotkeyRules, EveryKeyHasOneNameAndTheBalloonHoldsTheLongest) {
    std::set<std::string> names;
    std::string longest;
    int keys = 0;
    for (uint32_t value = 0; value <= 0x1FFFF; ++value) {
        const Hotkey hotkey = DecodeHotkey(value);
        if (hotkey.key == 0) {
            continue;
        }
        ++keys;
        EXPECT_EQ(uint32_t{hotkey.key} | (uint32_t{hotkey.modifiers} << 8), value);
        const std::string name = HotkeyText(hotkey).CStr();
        EXPECT_TRUE(names.insert(name).second) << name;
        if (name.size() > longest.size())
            longest = name;
    }
    EXPECT_EQ(keys, 16 * 105);  // 105 keys, each alone and with every set of modifiers
    const char* const three[] = {longest.c_str(), "Ctrl+Alt+S", longest.c_str()};
    const char* const settings[] = {"HotkeyCapture", "HotkeySameRegion", "HotkeyDelayed"};
    const Tessel::String balloon = HotkeysTakenText(three, settings, 3);
    EXPECT_STREQ(balloon.CStr(),
                 "Win+Ctrl+Alt+Shift+Print Screen, Ctrl+Alt+S and Win+Ctrl+Alt+Shift+Print Screen "
                 "are already in use. Glimpser's settings HotkeyCapture, HotkeySameRegion and "
                 "HotkeyDelayed choose other keys.");
    EXPECT_LT(balloon.Length(), 256);
}

}  // namespace
