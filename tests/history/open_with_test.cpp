#include "history/open_with.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/scoped_win.h"
#include "app/win_text.h"

namespace {

const wchar_t kUserFileExts[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.png";

// Every key the tests write, removed before and after each test.
const struct {
    HKEY root;
    const wchar_t* path;
} kTestKeys[] = {
    {HKEY_CLASSES_ROOT, L".png"},
    {HKEY_CLASSES_ROOT, L"GlimpserTest.Png"},
    {HKEY_CLASSES_ROOT, L"GlimpserTest.Viewer"},
    {HKEY_CLASSES_ROOT, L"GlimpserTest.Editor"},
    {HKEY_CLASSES_ROOT, L"GlimpserTest.Helpers"},
    {HKEY_CLASSES_ROOT, L"GlimpserTest.Unquoted"},
    {HKEY_CLASSES_ROOT, L"GlimpserTest.Registry"},
    {HKEY_CLASSES_ROOT, L"Applications\\gtgimp.exe"},
    {HKEY_CLASSES_ROOT, L"Applications\\gtshout.exe"},
    {HKEY_CLASSES_ROOT, L"Applications\\gtpaint.exe"},
    {HKEY_CURRENT_USER, kUserFileExts},
};

void WriteString(HKEY root, const std::wstring& path, const wchar_t* name, const wchar_t* text) {
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created,
                              nullptr),
              ERROR_SUCCESS);
    ScopedKey key(created);
    ASSERT_EQ(RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                             static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

void WriteCommand(const std::wstring& keyPath, const wchar_t* command) {
    WriteString(HKEY_CLASSES_ROOT, keyPath + L"\\command", nullptr, command);
}

struct Entry {
    std::string name;
    std::string command;
    bool operator==(const Entry& other) const {
        return name == other.name && command == other.command;
    }
};

std::ostream& operator<<(std::ostream& out, const Entry& entry) {
    return out << "{" << entry.name << ", " << entry.command << "}";
}

std::vector<Entry> Build() {
    Tessel::List<Tessel::OwnedPtr<CMainWindow::COpenWithInfo>> list;
    list.Append(Tessel::MakeOwned<CMainWindow::COpenWithInfo>(Tessel::String("stale"),
                                                              Tessel::String("stale.exe")));
    BuildOpenWithList(list);
    std::vector<Entry> entries;
    for (const auto& info : list) {
        entries.push_back({info->name.CStr(), info->command.CStr()});
    }
    return entries;
}

class OpenWith : public testing::Test {
protected:
    // ".png" also holds the content type that saving relies on: it is put back afterwards.
    void SetUp() override {
        wchar_t type[64] = L"";
        DWORD size = sizeof type;
        if (RegGetValueW(HKEY_CLASSES_ROOT, L".png", L"Content Type", RRF_RT_REG_SZ, nullptr, type,
                         &size) == ERROR_SUCCESS)
            contentType = type;
        DeleteTestKeys();
    }
    void TearDown() override {
        DeleteTestKeys();
        if (!contentType.empty())
            RegSetKeyValueW(HKEY_CLASSES_ROOT, L".png", L"Content Type", REG_SZ,
                            contentType.c_str(),
                            static_cast<DWORD>((contentType.size() + 1) * sizeof(wchar_t)));
    }

    std::wstring contentType;

    static void DeleteTestKeys() {
        for (const auto& key : kTestKeys) {
            RegDeleteTreeW(key.root, key.path);
            RegDeleteKeyW(key.root, key.path);
        }
    }
};

TEST_F(OpenWith, NoPngKeyGivesAnEmptyList) {
    EXPECT_TRUE(Build().empty());
}

TEST_F(OpenWith, FiveSourcesAreMergedNamedFilteredAndSorted) {
    // 1: the type's OpenWithProgids.
    WriteString(HKEY_CLASSES_ROOT, L".png\\OpenWithProgids", L"GlimpserTest.Viewer", L"");
    WriteString(HKEY_CLASSES_ROOT, L".png\\OpenWithProgids", L"GlimpserTest.Helpers", L"");
    WriteString(HKEY_CLASSES_ROOT, L".png\\OpenWithProgids", L"GlimpserTest.Missing", L"");
    WriteCommand(L"GlimpserTest.Viewer\\shell\\open", L"\"C:\\Tools\\zviewer.exe\" \"%1\"");
    WriteCommand(L"GlimpserTest.Helpers\\shell\\open",
                 L"C:\\NoSuch\\RunDll32.exe shim.dll,View %1");
    // 2: the user's OpenWithProgids.
    const std::wstring userExts = kUserFileExts;
    WriteString(HKEY_CURRENT_USER, userExts + L"\\OpenWithProgids", L"GlimpserTest.Editor", L"");
    WriteString(HKEY_CURRENT_USER, userExts + L"\\OpenWithProgids", L"GlimpserTest.Unquoted", L"");
    WriteString(HKEY_CURRENT_USER, userExts + L"\\OpenWithProgids", L"GlimpserTest.Registry", L"");
    WriteCommand(L"GlimpserTest.Editor\\shell\\open", L"%ToolsDir%\\Editor.exe %1");
    WriteCommand(L"GlimpserTest.Unquoted\\shell\\open",
                 L"C:\\Program Files\\Some Viewer\\viewer.exe %1");
    WriteCommand(L"GlimpserTest.Registry\\shell\\open", L"C:\\windows\\regedit.exe \"%1\"");
    // 3: the type's OpenWithList of applications; the second repeats source 1 in capitals.
    WriteString(HKEY_CLASSES_ROOT, L".png\\OpenWithList\\gtgimp.exe", nullptr, L"");
    WriteString(HKEY_CLASSES_ROOT, L".png\\OpenWithList\\gtshout.exe", nullptr, L"");
    WriteCommand(L"Applications\\gtgimp.exe\\shell\\open", L"\"C:\\Tools\\Gimp.exe\" \"%1\"");
    WriteCommand(L"Applications\\gtshout.exe\\shell\\open", L"\"C:\\TOOLS\\ZVIEWER.EXE\" \"%1\"");
    // 4: the user's OpenWithList keeps executables as data; MRUList names no application.
    WriteString(HKEY_CURRENT_USER, userExts + L"\\OpenWithList", L"a", L"gtpaint.exe");
    WriteString(HKEY_CURRENT_USER, userExts + L"\\OpenWithList", L"b", L"");
    WriteString(HKEY_CURRENT_USER, userExts + L"\\OpenWithList", L"MRUList", L"ab");
    WriteCommand(L"Applications\\gtpaint.exe\\shell\\open", L"gtpaint.exe \"%1\"");
    // 5: the verbs of the type's own ProgID, but open, edit and printto.
    WriteString(HKEY_CLASSES_ROOT, L".png", nullptr, L"GlimpserTest.Png");
    WriteCommand(L"GlimpserTest.Png\\shell\\open", L"C:\\Tools\\Default.exe \"%1\"");
    WriteCommand(L"GlimpserTest.Png\\shell\\Edit", L"C:\\Tools\\Default.exe /edit \"%1\"");
    WriteCommand(L"GlimpserTest.Png\\shell\\printto", L"C:\\Tools\\Default.exe /pt \"%1\" \"%2\"");
    WriteCommand(L"GlimpserTest.Png\\shell\\print", L"C:\\Tools\\Default.exe /p \"%1\"");
    WriteCommand(L"GlimpserTest.Png\\shell\\preview", L"c:\\tools\\default.exe /show \"%1\"");

    const std::vector<Entry> expected = {
        {"default", "c:\\tools\\default.exe /show \"%1\""},
        {"Default", "C:\\Tools\\Default.exe /p \"%1\""},
        {"Editor", "%ToolsDir%\\Editor.exe %1"},
        {"Gimp", "\"C:\\Tools\\Gimp.exe\" \"%1\""},
        {"gtpaint", "gtpaint.exe \"%1\""},
        {"Wine Registry Editor", "C:\\windows\\regedit.exe \"%1\""},
        {"zviewer", "\"C:\\Tools\\zviewer.exe\" \"%1\""},
    };
    std::vector<Entry> entries = Build();
    // Equal names may come in either order.
    if (entries.size() >= 2 && entries[0].name == "Default")
        std::swap(entries[0], entries[1]);
    EXPECT_EQ(entries, expected);
}

TEST_F(OpenWith, DescriptionComesFromTheFirstVersionTranslation) {
    wchar_t self[MAX_PATH];
    ASSERT_NE(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    struct Case {
        Tessel::String program;
        const char* description;
    };
    const Case cases[] = {
        {Tessel::String("C:\\windows\\regedit.exe"), "Wine Registry Editor"},
        {Tessel::String("%SystemRoot%\\regedit.exe"), ""},  // not expanded
        {Tessel::String("C:\\NoSuch\\viewer.exe"), ""},
        {ToUtf8(self), ""},  // no version resource
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(GetFileDescription(c.program).CStr(), c.description) << c.program.CStr();
    }
}

}  // namespace
