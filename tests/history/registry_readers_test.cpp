#include "history/registry_readers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A key of the test's own, so nothing the program reads is touched.
const wchar_t kTestKey[] = L"Software\\GlimpserTests\\RegistryReaders";
const char kTestPath[] = "Software\\GlimpserTests\\RegistryReaders";

class RegistryReadersTest : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        RegCloseKey(key);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\GlimpserTests");
    }

    void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    void SetText(const wchar_t* name, DWORD type, const std::wstring& text, bool terminated) {
        // The registry quietly counts a NUL that lies just past the data, so an unterminated
        // value needs something else there.
        const std::wstring data = text + (terminated ? L'\0' : L'X');
        SetRaw(name, type, data.c_str(),
               static_cast<DWORD>((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t)));
    }
    void AddSubkey(const wchar_t* name) {
        HKEY subkey = nullptr;
        ASSERT_EQ(RegCreateKeyExW(key, name, 0, nullptr, 0, KEY_WRITE, nullptr, &subkey, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(subkey);
    }

    HKEY key = nullptr;
};

std::vector<std::string> ToVector(Tessel::List<Tessel::String>& list) {
    std::vector<std::string> result;
    for (int i = 0; i < list.Count(); ++i) {
        result.emplace_back(list[i].CStr());
    }
    return result;
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

TEST_F(RegistryReadersTest, EnumerationsAppendNamesAsUtf8) {
    AddSubkey(L"Beta");
    AddSubkey(L"alpha");
    AddSubkey(L"\u00e9t\u00e9");
    SetText(L"first", REG_SZ, L"x", true);
    SetText(L"\u043f\u0443\u0442\u044c", REG_SZ, L"x", true);
    const DWORD number = 1;
    SetRaw(L"number", REG_DWORD, &number, 4);

    Tessel::List<Tessel::String> subkeys;
    subkeys.Append(Tessel::String("kept"));
    EXPECT_EQ(EnumRegistrySubkeys(HKEY_CURRENT_USER, Tessel::String(kTestPath), subkeys), 0);
    std::vector<std::string> found = ToVector(subkeys);
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found.front(), "kept");
    found.erase(found.begin());
    EXPECT_EQ(Sorted(found), Sorted({"Beta", "alpha", "\xC3\xA9t\xC3\xA9"}));

    Tessel::List<Tessel::String> values;
    EXPECT_EQ(EnumRegistryValueNames(HKEY_CURRENT_USER, Tessel::String(kTestPath), values), 0);
    EXPECT_EQ(Sorted(ToVector(values)),
              Sorted({"first", "number", "\xD0\xBF\xD1\x83\xD1\x82\xD1\x8C"}));
}

TEST_F(RegistryReadersTest, EnumerationsOfMissingKeyReportErrorAndAddNothing) {
    Tessel::List<Tessel::String> names;
    names.Append(Tessel::String("kept"));
    const Tessel::String missing("Software\\GlimpserTests\\Missing");
    EXPECT_EQ(EnumRegistrySubkeys(HKEY_CURRENT_USER, missing, names), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(EnumRegistryValueNames(HKEY_CURRENT_USER, missing, names), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ToVector(names), std::vector<std::string>{"kept"});

    Tessel::List<Tessel::String> empty;
    EXPECT_EQ(EnumRegistrySubkeys(HKEY_CURRENT_USER, Tessel::String(kTestPath), empty), 0);
    EXPECT_EQ(EnumRegistryValueNames(HKEY_CURRENT_USER, Tessel::String(kTestPath), empty), 0);
    EXPECT_EQ(empty.Count(), 0);
}

TEST_F(RegistryReadersTest, ValueNameTooLongForTheBufferEndsTheEnumeration) {
    // Written in alphabetical order, so that the enumeration order is the same whether the
    // registry keeps values in order of creation or sorted by name.
    SetText(L"a first", REG_SZ, L"x", true);
    const std::wstring longName(300, L'n');
    SetText(longName.c_str(), REG_SZ, L"x", true);
    SetText(L"z last", REG_SZ, L"x", true);

    Tessel::List<Tessel::String> values;
    EXPECT_EQ(EnumRegistryValueNames(HKEY_CURRENT_USER, Tessel::String(kTestPath), values), 0);
    EXPECT_EQ(ToVector(values), std::vector<std::string>{"a first"});
}

TEST_F(RegistryReadersTest, ReadStringAcceptsOnlyWellFormedStrings) {
    const struct {
        const char* label;
        DWORD type;
        std::wstring text;
        bool terminated;
        LONG status;
        const char* expected;  // nullptr: the output stays "unchanged"
    } cases[] = {
        {"plain", REG_SZ, L"notepad.exe \"%1\"", true, 0, "notepad.exe \"%1\""},
        {"expand", REG_EXPAND_SZ, L"%SystemRoot%\\a.exe", true, 0, "%SystemRoot%\\a.exe"},
        {"utf8", REG_SZ, L"\u00e9\U0001F4F7", true, 0, "\xC3\xA9\xF0\x9F\x93\xB7"},
        {"embedded NUL", REG_SZ, std::wstring(L"ab\0cd", 5), true, 0, "ab"},
        {"unterminated", REG_SZ, L"abc", false, ERROR_INVALID_DATA, nullptr},
        {"multi", REG_MULTI_SZ, std::wstring(L"a\0", 2), true, ERROR_INVALID_DATA, nullptr},
        {"259 units", REG_SZ, std::wstring(259, L'y'), true, 0, "259"},
        {"260 units", REG_SZ, std::wstring(260, L'y'), true, ERROR_MORE_DATA, nullptr},
        {"260 unterminated", REG_SZ, std::wstring(260, L'y'), false, ERROR_INVALID_DATA, nullptr},
    };
    for (const auto& c : cases) {
        SetText(L"Value", c.type, c.text, c.terminated);
        Tessel::String out("unchanged");
        EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, Tessel::String(kTestPath), "Value", out),
                  c.status)
            << c.label;
        std::string expected = c.expected ? c.expected : "unchanged";
        if (expected == "259") {
            expected = std::string(259, 'y');
        }
        EXPECT_EQ(std::string(out.CStr()), expected) << c.label;
    }
}

TEST_F(RegistryReadersTest, ReadStringOddCasesLeaveOutputAlone) {
    const DWORD number = 7;
    SetRaw(L"Dword", REG_DWORD, &number, 4);
    SetRaw(L"Odd", REG_SZ, "a\0\0", 3);
    SetRaw(L"Empty", REG_SZ, "", 0);
    SetText(L"", REG_SZ, L"default value", true);

    const Tessel::String path(kTestPath);
    Tessel::String out("unchanged");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, path, "Dword", out), ERROR_INVALID_DATA);
    EXPECT_STREQ(out.CStr(), "unchanged");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, path, "Odd", out), ERROR_INVALID_DATA);
    EXPECT_STREQ(out.CStr(), "unchanged");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, path, "Missing", out), ERROR_FILE_NOT_FOUND);
    EXPECT_STREQ(out.CStr(), "unchanged");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, Tessel::String("Software\\GlimpserTests\\No"),
                                 "Value", out),
              ERROR_FILE_NOT_FOUND);
    EXPECT_STREQ(out.CStr(), "unchanged");

    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, path, nullptr, out), 0);
    EXPECT_STREQ(out.CStr(), "default value");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, path, "Empty", out), 0);
    EXPECT_FALSE(out.IsNull());
    EXPECT_STREQ(out.CStr(), "");
}

}  // namespace
