#include "tray/hotkey_rules.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// Every value either is no hotkey or is a key that gives back the same value and a name of its
// own, so the menu never shows one name for two keys: 105 keys (not the modifier keys, mouse
// buttons or F12), each alone and with every set of the four modifiers and no other bit. Three
// of the longest names still fit the balloon's 256 units.
TEST(HotkeyRules, EveryKeyHasOneNameAndTheBalloonHoldsTheLongest) {
    std::string some;
    for (const uint32_t value : {0x042C, 0x0F70, 0x0087, 0x0869, 0x01BA, 0x0030})
        some = some + HotkeyText(DecodeHotkey(value)).CStr() + "|";
    EXPECT_EQ(some, "Shift+Print Screen|Win+Ctrl+Alt+Shift+F1|F24|Win+Num 9|Alt+;|0|");
    std::set<std::string> names;
    std::string longest;
    for (uint32_t value = 0; value <= 0x1FFFF; ++value) {
        const Hotkey hotkey = DecodeHotkey(value);
        if (hotkey.key == 0)
            continue;
        EXPECT_EQ(uint32_t{hotkey.key} | (uint32_t{hotkey.modifiers} << 8), value);
        const std::string name = HotkeyText(hotkey).CStr();
        EXPECT_TRUE(names.insert(name).second) << name;
        if (name.size() > longest.size())
            longest = name;
    }
    EXPECT_EQ(names.size(), 16u * 105);
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
