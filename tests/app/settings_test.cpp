#include "app/settings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t kRoot[] = L"Software\\Tarrowby Software\\Glimpser";
const wchar_t kSection[] = L"Software\\Tarrowby Software\\Glimpser\\Settings";

bool KeyExists(const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void WriteRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSection, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void WriteWide(const wchar_t* name, DWORD type, const std::wstring& text, bool terminated) {
    // The registry quietly counts a NUL that lies just past the data, so an unterminated
    // value needs something else there.
    const std::wstring data = text + (terminated ? L'\0' : L'X');
    const DWORD bytes = static_cast<DWORD>((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
    WriteRaw(name, type, data.c_str(), bytes);
}

// Returns the stored type and data, or type REG_NONE when the value is missing.
struct RawValue {
    DWORD type = REG_NONE;
    std::string bytes;
};
RawValue ReadRaw(const wchar_t* name) {
    RawValue value;
    BYTE buffer[1024];
    DWORD size = sizeof(buffer);
    if (RegGetValueW(HKEY_CURRENT_USER, kSection, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                     buffer, &size) != ERROR_SUCCESS) {
        value.type = REG_NONE;
        return value;
    }
    value.bytes.assign(reinterpret_cast<const char*>(buffer), size);
    return value;
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
    EXPECT_EQ(GetSettingInt("Settings", "IncludeCursor", 1), 1);
    EXPECT_EQ(GetSettingInt("Settings", "MaxHistory", -7), -7);
    EXPECT_EQ(GetSettingInt(nullptr, "Anything", 42), 42);
    EXPECT_EQ(Str(GetSettingString("Settings", "HistoryFolder", Tessel::String("C:\\d"))), "C:\\d");
    EXPECT_TRUE(GetSettingString("Settings", "ArchiveFolder", Tessel::String()).IsNull());
    EXPECT_FALSE(KeyExists(kRoot));

    // An existing section without the value is still the default.
    SetSettingInt("Settings", "Other", 3);
    EXPECT_EQ(GetSettingInt("Settings", "IncludeCursor", 1), 1);
    EXPECT_EQ(Str(GetSettingString("Settings", "HistoryFolder", Tessel::String("d"))), "d");
}

TEST_F(SettingsTest, IntRoundTripsAllThirtyTwoBits) {
    const int32_t values[] = {0, 1, -1, 100, 2147483647, -2147483647 - 1};
    for (int32_t value : values) {
        SetSettingInt("Settings", "MaxHistory", value);
        EXPECT_EQ(GetSettingInt("Settings", "MaxHistory", 5), value);
        const RawValue raw = ReadRaw(L"MaxHistory");
        EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(raw.bytes, std::string(reinterpret_cast<const char*>(&value), 4));
    }
    SetSettingInt(nullptr, "RootValue", 9);
    EXPECT_EQ(GetSettingInt(nullptr, "RootValue", 0), 9);
    EXPECT_EQ(GetSettingInt("Settings", "RootValue", 0), 0);
}

TEST_F(SettingsTest, IntOfWrongTypeOrSizeReadsAsDefault) {
    // Zero bytes, wide enough for any of the sizes below.
    const uint64_t zeros = 0;
    const wchar_t one[] = L"1";
    const struct {
        const char* label;
        DWORD type;
        const void* data;
        DWORD size;
        int32_t expected;
    } cases[] = {
        {"dword 0", REG_DWORD, &zeros, 4, 0},
        {"string 1", REG_SZ, one, sizeof(one), 1},
        {"string 0", REG_SZ, L"0", 4, 1},
        {"qword", REG_QWORD, &zeros, 8, 1},
        {"binary", REG_BINARY, &zeros, 4, 1},
        {"big endian", REG_DWORD_BIG_ENDIAN, &zeros, 4, 1},
        // Typed as a DWORD but longer or shorter than four bytes.
        {"dword of 8 bytes", REG_DWORD, &zeros, 8, 1},
        {"dword of 2 bytes", REG_DWORD, &zeros, 2, 1},
        {"dword of 0 bytes", REG_DWORD, &zeros, 0, 1},
    };
    for (const auto& c : cases) {
        WriteRaw(L"IncludeCursor", c.type, c.data, c.size);
        EXPECT_EQ(GetSettingInt("Settings", "IncludeCursor", 1), c.expected) << c.label;
    }
}

TEST_F(SettingsTest, ToggleOfAbsentIncludeCursorWritesZero) {
    SetSettingInt("Settings", "IncludeCursor",
                  GetSettingInt("Settings", "IncludeCursor", 1) == 0 ? 1 : 0);
    EXPECT_EQ(GetSettingInt("Settings", "IncludeCursor", 1), 0);
}

TEST_F(SettingsTest, StringRoundTripsUtf8AndStoresTerminator) {
    const char* texts[] = {"C:\\Users\\me\\Pictures", "", "\xC3\xA9t\xC3\xA9 \xF0\x9F\x93\xB7",
                           "10,20,310,220"};
    for (const char* text : texts) {
        SetSettingString("Settings", "CaptureRegion", Tessel::String(text));
        EXPECT_EQ(Str(GetSettingString("Settings", "CaptureRegion", Tessel::String("def"))), text);
    }
    SetSettingString("Settings", "CaptureRegion", Tessel::String("1,2,3,4"));
    const RawValue raw = ReadRaw(L"CaptureRegion");
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
    const std::wstring expected = L"1,2,3,4";
    EXPECT_EQ(raw.bytes, std::string(reinterpret_cast<const char*>(expected.c_str()),
                                     (expected.size() + 1) * sizeof(wchar_t)));
}

TEST_F(SettingsTest, AbsentStringCreatesKeyButNoValue) {
    SetSettingString("Settings", "ArchiveFolder", Tessel::String());
    EXPECT_TRUE(KeyExists(kSection));
    EXPECT_EQ(ReadRaw(L"ArchiveFolder").type, static_cast<DWORD>(REG_NONE));
    EXPECT_TRUE(GetSettingString("Settings", "ArchiveFolder", Tessel::String()).IsNull());
}

TEST_F(SettingsTest, StringReadingRules) {
    const Tessel::String def("default");
    const struct {
        const char* label;
        DWORD type;
        std::wstring text;
        bool terminated;
        const char* expected;
    } cases[] = {
        {"plain", REG_SZ, L"folder", true, "folder"},
        {"expand", REG_EXPAND_SZ, L"%USERPROFILE%\\x", true, "%USERPROFILE%\\x"},
        {"unterminated", REG_SZ, L"folder", false, "default"},
        {"embedded NUL", REG_SZ, std::wstring(L"ab\0cd", 5), true, "ab"},
        {"259 units", REG_SZ, std::wstring(259, L'x'), true, nullptr},
        {"260 units", REG_SZ, std::wstring(260, L'x'), true, "default"},
        {"260 unterminated", REG_SZ, std::wstring(260, L'x'), false, "default"},
        {"1000 units", REG_SZ, std::wstring(1000, L'x'), true, "default"},
        {"multi", REG_MULTI_SZ, std::wstring(L"a\0", 2), true, "default"},
        {"binary", REG_BINARY, L"ab", true, "default"},
    };
    for (const auto& c : cases) {
        WriteWide(L"HistoryFolder", c.type, c.text, c.terminated);
        const std::string expected = c.expected ? c.expected : std::string(259, 'x');
        EXPECT_EQ(Str(GetSettingString("Settings", "HistoryFolder", def)), expected) << c.label;
    }

    WriteRaw(L"HistoryFolder", REG_SZ, "", 0);
    EXPECT_EQ(Str(GetSettingString("Settings", "HistoryFolder", def)), "");
    WriteRaw(L"HistoryFolder", REG_SZ, "a\0\0", 3);
    EXPECT_EQ(Str(GetSettingString("Settings", "HistoryFolder", def)), "default");
    const DWORD number = 1;
    WriteRaw(L"HistoryFolder", REG_DWORD, &number, 4);
    EXPECT_EQ(Str(GetSettingString("Settings", "HistoryFolder", def)), "default");
}

}  // namespace
