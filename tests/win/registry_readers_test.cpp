#include "win/registry_readers.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "win/settings.h"

namespace {

// The settings key, so that one stored value is read by the registry reader and by both
// settings readers, and what the settings writers store is read raw.
const std::wstring kRoot = L"Software\\Tarrowby Software\\Glimpser";
const std::wstring kKey = kRoot + L"\\Settings";
const Tessel::String kPath("Software\\Tarrowby Software\\Glimpser\\Settings");
const Tessel::String kMissing("Software\\Tarrowby Software\\Missing");

class RegistryReadersTest : public testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kRoot.c_str()); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kRoot.c_str()); }

    static void Set(const wchar_t* name, DWORD type, const void* data, DWORD bytes,
                    const std::wstring& subkey = L"") {
        ASSERT_EQ(
            RegSetKeyValueW(HKEY_CURRENT_USER, (kKey + subkey).c_str(), name, type, data, bytes),
            0);
    }
};

// The list after the enumeration, which appends to the one name already in it.
template <class Enumerate>
std::vector<std::string> Names(Enumerate enumerate, const Tessel::String& path, LONG status) {
    Tessel::List<Tessel::String> list;
    list.Append(Tessel::String("kept"));
    EXPECT_EQ(enumerate(HKEY_CURRENT_USER, path, list), status);
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i) {
        names.emplace_back(list[i].CStr());
    }
    return names;
}

// A name too long for the buffer ends the enumeration, keeping what came before it. The values
// are written in alphabetical order, so creation order and sorted order agree.
TEST_F(RegistryReadersTest, EnumerationsAppendNamesAsUtf8UpToOneTooLong) {
    using Strings = std::vector<std::string>;
    Set(L"v", REG_SZ, L"", 2, L"\\\u00e9t\u00e9");
    Set(L"a first", REG_SZ, L"x", 4);
    Set(std::wstring(300, L'n').c_str(), REG_SZ, L"x", 4);
    Set(L"z last", REG_SZ, L"x", 4);
    EXPECT_EQ(Names(EnumRegistrySubkeys, kPath, 0), (Strings{"kept", "\xC3\xA9t\xC3\xA9"}));
    EXPECT_EQ(Names(EnumRegistryValueNames, kPath, 0), (Strings{"kept", "a first"}));
    EXPECT_EQ(Names(EnumRegistrySubkeys, kMissing, ERROR_FILE_NOT_FOUND), Strings{"kept"});
    EXPECT_EQ(Names(EnumRegistryValueNames, kMissing, ERROR_FILE_NOT_FOUND), Strings{"kept"});
}

// Only a well-formed string is read as text, and only a four-byte REG_DWORD as a number; every
// other stored value leaves the default. The open-with tests read keys' default values.
TEST_F(RegistryReadersTest, EachStoredValueIsReadByEveryReader) {
    const std::wstring longest(259, L'y'), tooLong(260, L'y'), unterminated(261, L'y');
    const wchar_t zeros[] = L"\0\0\0";
    const std::tuple<DWORD, const wchar_t*, DWORD, LONG, std::string, int32_t> cases[] = {
        {REG_SZ, L"notepad.exe \"%1\"", 34, 0, "notepad.exe \"%1\"", 1},
        {REG_EXPAND_SZ, L"%SystemRoot%\\a", 30, 0, "%SystemRoot%\\a", 1},
        {REG_SZ, L"\u00e9\U0001F4F7", 8, 0, "\xC3\xA9\xF0\x9F\x93\xB7", 1},
        {REG_SZ, L"ab\0cd", 12, 0, "ab", 1},
        {REG_SZ, L"", 0, 0, "", 1},
        {REG_SZ, longest.c_str(), 520, 0, std::string(259, 'y'), 1},
        {REG_SZ, tooLong.c_str(), 522, ERROR_MORE_DATA, "default", 1},
        // Unterminated: the registry would count a NUL lying just past the data.
        {REG_SZ, L"abc", 4, ERROR_INVALID_DATA, "default", 1},
        {REG_SZ, unterminated.c_str(), 520, ERROR_INVALID_DATA, "default", 1},
        {REG_SZ, L"a", 3, ERROR_INVALID_DATA, "default", 1},
        {REG_MULTI_SZ, L"a\0", 6, ERROR_INVALID_DATA, "default", 1},
        {REG_DWORD, L"ab", 4, ERROR_INVALID_DATA, "default", 0x00620061},
        {REG_DWORD, zeros, 2, ERROR_INVALID_DATA, "default", 1},
        {REG_DWORD, zeros, 8, ERROR_INVALID_DATA, "default", 1},
        {REG_BINARY, zeros, 4, ERROR_INVALID_DATA, "default", 1},
        {REG_DWORD_BIG_ENDIAN, zeros, 4, ERROR_INVALID_DATA, "default", 1},
    };
    for (const auto& [type, data, bytes, status, text, number] : cases) {
        SCOPED_TRACE(testing::Message() << "type " << type << ", " << bytes << " bytes");
        Set(L"Value", type, data, bytes);
        Tessel::String out("default");
        EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kPath, "Value", out), status);
        EXPECT_EQ(std::string(out.CStr()), text);
        EXPECT_EQ(GetSettingString("Settings", "Value", Tessel::String("default")).CStr(), text);
        EXPECT_EQ(GetSettingInt("Settings", "Value", 1), number);
    }
    Tessel::String out("unchanged");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kPath, "Missing", out), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kMissing, "Value", out), ERROR_FILE_NOT_FOUND);
    EXPECT_STREQ(out.CStr(), "unchanged");
}

// Reading creates no key; a null string creates the key but writes no value. The settings
// readers take only well-formed strings (the table above), so what reads back was stored as
// such; one value read raw shows its type and terminator. Numbers are stored by the viewer and
// the tray and read back by the end-to-end runs.
TEST_F(RegistryReadersTest, SettingsReadersCreateNoKeyAndWritersStoreTerminatedUtf16) {
    using Strings = std::vector<std::string>;
    EXPECT_EQ(GetSettingInt("Settings", "MaxHistory", -7), -7);
    EXPECT_EQ(GetSettingInt(nullptr, "Anything", 42), 42);
    EXPECT_STREQ(GetSettingString("Settings", "HistoryFolder", Tessel::String("C:\\d")).CStr(),
                 "C:\\d");
    EXPECT_TRUE(GetSettingString("Settings", "ArchiveFolder", Tessel::String()).IsNull());
    EXPECT_EQ(Names(EnumRegistryValueNames, kPath, ERROR_FILE_NOT_FOUND), Strings{"kept"});
    SetSettingString("Settings", "ArchiveFolder", Tessel::String());
    EXPECT_EQ(Names(EnumRegistryValueNames, kPath, 0), Strings{"kept"});
    for (const char* text : {"", "\xC3\xA9t\xC3\xA9 \xF0\x9F\x93\xB7", "1,2,3,4"}) {
        SetSettingString("Settings", "CaptureRegion", Tessel::String(text));
        EXPECT_STREQ(GetSettingString("Settings", "CaptureRegion", Tessel::String("def")).CStr(),
                     text);
    }
    wchar_t stored[16] = L"";
    DWORD type = REG_NONE, size = sizeof stored;
    RegGetValueW(HKEY_CURRENT_USER, kKey.c_str(), L"CaptureRegion", RRF_RT_ANY | RRF_NOEXPAND,
                 &type, stored, &size);
    EXPECT_EQ(type, DWORD{REG_SZ});
    EXPECT_EQ(std::wstring(stored, size / sizeof(wchar_t)), std::wstring(L"1,2,3,4", 8));
}

}  // namespace
