#include "win/settings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t kRoot[] = L"Software\\Tarrowby Software\\Glimpser";
const wchar_t kSection[] = L"Software\\Tarrowby Software\\Glimpser\\Settings";

bool KeyExists(const wchar_t* path) {
    HKEY key = nullptr;
    const bool exists = RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) == 0;
    RegCloseKey(key);
    return exists;
}

// The stored type and bytes; REG_NONE when the value is missing.
std::pair<DWORD, std::string> ReadRaw(const wchar_t* name) {
    char buffer[64];
    DWORD type = REG_NONE, size = sizeof(buffer);
    if (RegGetValueW(HKEY_CURRENT_USER, kSection, name, RRF_RT_ANY | RRF_NOEXPAND, &type, buffer,
                     &size) != 0) {
        return {REG_NONE, ""};
    }
    return {type, std::string(buffer, size)};
}

std::string Str(const Tessel::String& s) {
    return s.IsNull() ? "(null)" : s.CStr();
}

// The readers take only four-byte REG_DWORDs and well-formed strings (tested with the registry
// reader), so what reads back was stored as such.
TEST(SettingsTest, ReadersDoNotCreateTheKeyAndWritersStoreDwordsAndTerminatedUtf16) {
    RegDeleteTreeW(HKEY_CURRENT_USER, kRoot);
    EXPECT_EQ(GetSettingInt("Settings", "MaxHistory", -7), -7);
    EXPECT_EQ(GetSettingInt(nullptr, "Anything", 42), 42);
    EXPECT_EQ(Str(GetSettingString("Settings", "HistoryFolder", Tessel::String("C:\\d"))), "C:\\d");
    EXPECT_TRUE(GetSettingString("Settings", "ArchiveFolder", Tessel::String()).IsNull());
    EXPECT_FALSE(KeyExists(kRoot));

    // An absent string creates the key all the same, but writes no value.
    SetSettingString("Settings", "ArchiveFolder", Tessel::String());
    EXPECT_TRUE(KeyExists(kSection));
    EXPECT_EQ(ReadRaw(L"ArchiveFolder").first, DWORD{REG_NONE});
    for (int32_t value : {0, -1, 2147483647, -2147483647 - 1}) {
        SetSettingInt("Settings", "MaxHistory", value);
        EXPECT_EQ(GetSettingInt("Settings", "MaxHistory", 5), value);
    }
    for (const char* text : {"", "\xC3\xA9t\xC3\xA9 \xF0\x9F\x93\xB7", "1,2,3,4"}) {
        SetSettingString("Settings", "CaptureRegion", Tessel::String(text));
        EXPECT_EQ(Str(GetSettingString("Settings", "CaptureRegion", Tessel::String("def"))), text);
    }
    const std::wstring stored = L"1,2,3,4";
    EXPECT_EQ(
        ReadRaw(L"CaptureRegion"),
        std::make_pair(DWORD{REG_SZ}, std::string(reinterpret_cast<const char*>(stored.c_str()),
                                                  (stored.size() + 1) * 2)));
    RegDeleteTreeW(HKEY_CURRENT_USER, kRoot);
}

}  // namespace
