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

void WriteRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kSection, name, type, data, size), 0);
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

class SettingsTest : public testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kRoot); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kRoot); }
};

TEST_F(SettingsTest, ReadersReturnDefaultsWithoutCreatingTheKey) {
    EXPECT_EQ(GetSettingInt("Settings", "MaxHistory", -7), -7);
    EXPECT_EQ(GetSettingInt(nullptr, "Anything", 42), 42);
    EXPECT_EQ(Str(GetSettingString("Settings", "HistoryFolder", Tessel::String("C:\\d"))), "C:\\d");
    EXPECT_TRUE(GetSettingString("Settings", "ArchiveFolder", Tessel::String()).IsNull());
    EXPECT_FALSE(KeyExists(kRoot));
}

TEST_F(SettingsTest, WritersStoreDwordsAndTerminatedUtf16) {
    // An absent string creates the key all the same, but writes no value.
    SetSettingString("Settings", "ArchiveFolder", Tessel::String());
    EXPECT_TRUE(KeyExists(kSection));
    EXPECT_EQ(ReadRaw(L"ArchiveFolder").first, DWORD{REG_NONE});
    for (int32_t value : {0, -1, 2147483647, -2147483647 - 1}) {
        SetSettingInt("Settings", "MaxHistory", value);
        EXPECT_EQ(GetSettingInt("Settings", "MaxHistory", 5), value);
        EXPECT_EQ(
            ReadRaw(L"MaxHistory"),
            std::make_pair(DWORD{REG_DWORD}, std::string(reinterpret_cast<char*>(&value), 4)));
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
}

// Each stored value is read by both readers; the registry reader's own tests hold the rest of
// the malformed strings.
TEST_F(SettingsTest, ValuesOfWrongTypeSizeOrFormReadAsDefault) {
    const wchar_t zeros[] = L"\0\0\0";
    const std::wstring tooLong(260, L'x'), region(10000, L'9');
    const struct {
        DWORD type;
        const wchar_t* data;
        DWORD bytes;
        int32_t number;
        const char* text;
    } cases[] = {
        {REG_DWORD, zeros, 4, 0, "default"},
        {REG_DWORD, zeros, 2, 1, "default"},
        {REG_DWORD, zeros, 8, 1, "default"},
        {REG_QWORD, zeros, 8, 1, "default"},
        {REG_BINARY, zeros, 4, 1, "default"},
        {REG_DWORD_BIG_ENDIAN, zeros, 4, 1, "default"},
        {REG_MULTI_SZ, L"0\0", 6, 1, "default"},
        {REG_SZ, L"0", 4, 1, "0"},
        {REG_SZ, L"", 0, 1, ""},
        {REG_EXPAND_SZ, L"%USERPROFILE%\\x", 32, 1, "%USERPROFILE%\\x"},
        {REG_SZ, tooLong.c_str(), 522, 1, "default"},
        {REG_SZ, region.c_str(), 20002, 1, "default"},
        {REG_SZ, L"ab", 3, 1, "default"},
        // Unterminated: the registry would count a NUL lying just past the data.
        {REG_SZ, L"abX", 4, 1, "default"},
    };
    for (const auto& c : cases) {
        WriteRaw(L"Value", c.type, c.data, c.bytes);
        EXPECT_EQ(GetSettingInt("Settings", "Value", 1), c.number) << c.type << ", " << c.bytes;
        EXPECT_EQ(Str(GetSettingString("Settings", "Value", Tessel::String("default"))), c.text)
            << c.type << ", " << c.bytes;
    }
}

}  // namespace
