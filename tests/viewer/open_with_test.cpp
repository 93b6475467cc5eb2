#include "viewer/open_with.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

const std::wstring kUserFileExts =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.png";

// The registry the test writes, in HKEY_CLASSES_ROOT or, for a path starting with '~', below
// the user's FileExts key. A null name is the key's default value. Rundll helpers and the
// remains of unquoted paths are dropped by naming rules of their own.
const struct {
    const wchar_t* path;
    const wchar_t* name;
    const wchar_t* data;
} kEntries[] = {
    // 1: the type's OpenWithProgids.
    {L".png\\OpenWithProgids", L"GtViewer", L""},
    {L"GtViewer\\shell\\open\\command", nullptr, L"\"C:\\Tools\\zviewer.exe\" \"%1\""},
    // 2: the user's OpenWithProgids; regedit is named by its description.
    {L"~\\OpenWithProgids", L"GtRegistry", L""},
    {L"GtRegistry\\shell\\open\\command", nullptr, L"C:\\windows\\regedit.exe \"%1\""},
    // 3: the type's OpenWithList of applications; the second repeats source 1 in capitals.
    {L".png\\OpenWithList\\gtgimp.exe", nullptr, L""},
    {L".png\\OpenWithList\\gtshout.exe", nullptr, L""},
    {L"Applications\\gtgimp.exe\\shell\\open\\command", nullptr, L"\"C:\\Tools\\Gimp.exe\" %1"},
    {L"Applications\\gtshout.exe\\shell\\open\\command", nullptr,
     L"\"C:\\TOOLS\\ZVIEWER.EXE\" \"%1\""},
    // 4: the user's OpenWithList keeps executables as data.
    {L"~\\OpenWithList", L"a", L"gtpaint.exe"},
    {L"Applications\\gtpaint.exe\\shell\\open\\command", nullptr, L"gtpaint.exe \"%1\""},
    // 5: the verbs of the type's own ProgID, but open, edit and printto.
    {L".png", nullptr, L"GtPng"},
    {L"GtPng\\shell\\open\\command", nullptr, L"Default.exe %1"},
    {L"GtPng\\shell\\Edit\\command", nullptr, L"Default.exe /e %1"},
    {L"GtPng\\shell\\printto\\command", nullptr, L"Default.exe %1 %2"},
    {L"GtPng\\shell\\print\\command", nullptr, L"Default.exe /p %1"},
    {L"GtPng\\shell\\show\\command", nullptr, L"default.exe /s %1"},
};

HKEY Root(const wchar_t* path) {
    return path[0] == L'~' ? HKEY_CURRENT_USER : HKEY_CLASSES_ROOT;
}

std::wstring FullPath(const wchar_t* path) {
    return path[0] == L'~' ? kUserFileExts + (path + 1) : path;
}

// Every key the test writes below.
void DeleteTestKeys() {
    for (const wchar_t* key :
         {L".png", L"GtViewer", L"GtRegistry", L"GtPng", L"Applications\\gtgimp.exe",
          L"Applications\\gtshout.exe", L"Applications\\gtpaint.exe", L"~"}) {
        RegDeleteTreeW(Root(key), FullPath(key).c_str());
        RegDeleteKeyW(Root(key), FullPath(key).c_str());
    }
}

// The list as the submenu gets it, "name: command" per entry; what was in it before goes.
TEST(OpenWith, FiveSourcesAreMergedNamedFilteredAndSorted) {
    DeleteTestKeys();
    for (const auto& entry : kEntries) {
        ASSERT_EQ(RegSetKeyValueW(Root(entry.path), FullPath(entry.path).c_str(), entry.name,
                                  REG_SZ, entry.data,
                                  static_cast<DWORD>((lstrlenW(entry.data) + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    Tessel::List<Tessel::OwnedPtr<CMainWindow::COpenWithInfo>> list;
    list.Append(Tessel::MakeOwned<CMainWindow::COpenWithInfo>(Tessel::String("stale"),
                                                              Tessel::String("stale.exe")));
    BuildOpenWithList(list);
    DeleteTestKeys();
    std::vector<std::string> entries;
    for (const auto& info : list) {
        entries.push_back(std::string(info->name.CStr()) + ": " + info->command.CStr());
    }
    // Equal names may come in either order.
    if (entries.size() >= 2 && entries[0] > entries[1])
        std::swap(entries[0], entries[1]);
    const std::vector<std::string> expected = {
        "Default: Default.exe /p %1",
        "default: default.exe /s %1",
        "Gimp: \"C:\\Tools\\Gimp.exe\" %1",
        "gtpaint: gtpaint.exe \"%1\"",
        "Wine Registry Editor: C:\\windows\\regedit.exe \"%1\"",
        "zviewer: \"C:\\Tools\\zviewer.exe\" \"%1\"",
    };
    EXPECT_EQ(entries, expected);
}

}  // namespace
