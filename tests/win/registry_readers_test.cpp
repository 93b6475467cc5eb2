#include "win/registry_readers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A key of the test's own, so nothing the program reads is touched.
const std::wstring kTestKey = L"Software\\GlimpserTests\\RegistryReaders";
const Tessel::String kPath("Software\\GlimpserTests\\RegistryReaders");
const Tessel::String kMissing("Software\\GlimpserTests\\Missing");

class RegistryReadersTest : public testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\GlimpserTests"); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\GlimpserTests"); }

    static void Set(const wchar_t* name, DWORD type, const void* data, DWORD bytes,
                    const std::wstring& subkey = L"") {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, (kTestKey + subkey).c_str(), name, type, data,
                                  bytes),
                  0);
    }
};

// Sorted, after the names already in the list, since the registry chooses the order.
std::vector<std::string> Names(LONG (*enumerate)(HKEY, const Tessel::String&,
                                                 Tessel::List<Tessel::String>&),
                               const Tessel::String& path, LONG expectedStatus) {
    Tessel::List<Tessel::String> list;
    list.Append(Tessel::String("kept"));
    EXPECT_EQ(enumerate(HKEY_CURRENT_USER, path, list), expectedStatus);
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i) {
        names.emplace_back(list[i].CStr());
    }
    std::sort(names.begin() + 1, names.end());
    return names;
}

TEST_F(RegistryReadersTest, EnumerationsAppendNamesAsUtf8) {
    using Strings = std::vector<std::string>;
    Set(L"v", REG_SZ, L"", 2, L"\\Beta");
    Set(L"v", REG_SZ, L"", 2, L"\\\u00e9t\u00e9");
    Set(L"\u043f\u0443\u0442\u044c", REG_SZ, L"x", 4);
    Set(L"number", REG_DWORD, "\1\0\0", 4);
    EXPECT_EQ(Names(EnumRegistrySubkeys, kPath, 0), (Strings{"kept", "Beta", "\xC3\xA9t\xC3\xA9"}));
    EXPECT_EQ(Names(EnumRegistryValueNames, kPath, 0),
              (Strings{"kept", "number", "\xD0\xBF\xD1\x83\xD1\x82\xD1\x8C"}));
    EXPECT_EQ(Names(EnumRegistrySubkeys, kMissing, ERROR_FILE_NOT_FOUND), Strings{"kept"});
    EXPECT_EQ(Names(EnumRegistryValueNames, kMissing, ERROR_FILE_NOT_FOUND), Strings{"kept"});

    // A name too long for the buffer ends the enumeration, keeping what came before it.
    // Written in alphabetical order, so creation order and sorted order agree.
    RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey.c_str());
    Set(L"a first", REG_SZ, L"x", 4);
    Set(std::wstring(300, L'n').c_str(), REG_SZ, L"x", 4);
    Set(L"z last", REG_SZ, L"x", 4);
    EXPECT_EQ(Names(EnumRegistryValueNames, kPath, 0), (Strings{"kept", "a first"}));
}

TEST_F(RegistryReadersTest, ReadStringAcceptsOnlyWellFormedStrings) {
    const std::wstring longest(259, L'y'), tooLong(260, L'y'), unterminated(261, L'y');
    const struct {
        const wchar_t* name;
        DWORD type;
        const wchar_t* text;
        DWORD bytes;
        LONG status;
        std::string expected;
    } cases[] = {
        {L"Value", REG_SZ, L"notepad.exe \"%1\"", 34, 0, "notepad.exe \"%1\""},
        {L"Value", REG_EXPAND_SZ, L"%SystemRoot%\\a", 30, 0, "%SystemRoot%\\a"},
        {L"Value", REG_SZ, L"\u00e9\U0001F4F7", 8, 0, "\xC3\xA9\xF0\x9F\x93\xB7"},
        {L"Value", REG_SZ, L"ab\0cd", 12, 0, "ab"},
        {L"Value", REG_SZ, L"", 0, 0, ""},
        {L"", REG_SZ, L"default value", 28, 0, "default value"},
        {L"Value", REG_SZ, longest.c_str(), 520, 0, std::string(259, 'y')},
        {L"Value", REG_SZ, tooLong.c_str(), 522, ERROR_MORE_DATA, "unchanged"},
        // Unterminated: the registry would count a NUL lying just past the data.
        {L"Value", REG_SZ, L"abc", 4, ERROR_INVALID_DATA, "unchanged"},
        {L"Value", REG_SZ, unterminated.c_str(), 520, ERROR_INVALID_DATA, "unchanged"},
        {L"Value", REG_SZ, L"a", 3, ERROR_INVALID_DATA, "unchanged"},
        {L"Value", REG_MULTI_SZ, L"a\0", 6, ERROR_INVALID_DATA, "unchanged"},
        {L"Value", REG_DWORD, L"ab", 4, ERROR_INVALID_DATA, "unchanged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << ", " << c.bytes << " bytes");
        Set(c.name, c.type, c.text, c.bytes);
        Tessel::String out("unchanged");
        const char* name = c.name[0] == L'\0' ? nullptr : "Value";
        EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kPath, name, out), c.status);
        EXPECT_EQ(std::string(out.CStr()), c.expected);
    }
    Tessel::String out("unchanged");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kPath, "Missing", out), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kMissing, "Value", out), ERROR_FILE_NOT_FOUND);
    EXPECT_STREQ(out.CStr(), "unchanged");
}

}  // namespace
