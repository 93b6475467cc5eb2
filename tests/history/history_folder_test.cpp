#include "history/history_folder.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings.h"
#include "app/win_text.h"
#include "history/shell_helpers.h"
#include "history/message_recorder.h"
#include "support/temp_folder.h"

namespace {

const wchar_t kSection[] = L"Software\\Tarrowby Software\\Glimpser\\Settings";

std::string Narrow(const std::wstring& wide) {
    return ToUtf8(wide.c_str()).CStr();
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class HistoryFolderTest : public testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
    void TearDown() override { ClearSettings(); }
    static void ClearSettings() {
        for (const wchar_t* name : {L"HistoryFolder", L"ArchiveFolder", L"MaxHistory"}) {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kSection, name);
        }
    }
    void SetHistoryFolder(const std::wstring& path) {
        SetSettingString("Settings", "HistoryFolder", ToUtf8(path.c_str()));
    }

    TempFolder folder;
    MessageRecorder messages;
};

TEST_F(HistoryFolderTest, DefaultIsMyGlimpserImagesInTheDocumentsFolder) {
    const Tessel::String expected =
        GetSpecialFolder(CSIDL_PERSONAL, Tessel::String("My Glimpser Images"));
    ASSERT_FALSE(expected.IsEmpty());
    EXPECT_STREQ(GetHistoryFolder().CStr(), expected.CStr());
    SetHistoryFolder(folder / L"elsewhere");
    EXPECT_EQ(std::string(GetHistoryFolder().CStr()), Narrow(folder / L"elsewhere"));
}

TEST_F(HistoryFolderTest, CreatesTheFolderAndARelativeArchiveInsideIt) {
    const std::wstring history = folder / L"History";
    SetHistoryFolder(history);
    SetSettingString("Settings", "ArchiveFolder", Tessel::String("Old"));
    SetSettingInt("Settings", "MaxHistory", 7);
    CFileBase store;
    EXPECT_TRUE(ConfigureHistory(store));
    EXPECT_TRUE(IsFolder(history));
    EXPECT_TRUE(IsFolder(history + L"\\Old"));
    EXPECT_EQ(std::string(store.HistoryFolder().CStr()), Narrow(history));
    EXPECT_EQ(std::string(store.ArchiveFolder().CStr()), Narrow(history + L"\\Old"));
    EXPECT_EQ(store.MaxHistory(), 7);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(HistoryFolderTest, DefaultsKeepAHundredWithoutArchiveAndCreateOneLevelOnly) {
    const std::wstring nested = folder / L"a\\b";
    SetHistoryFolder(nested);
    CFileBase store;
    EXPECT_FALSE(ConfigureHistory(store));
    EXPECT_FALSE(IsFolder(nested));
    EXPECT_EQ(store.MaxHistory(), 100);
    EXPECT_TRUE(store.ArchiveFolder().IsEmpty());
}

TEST_F(HistoryFolderTest, AnArchiveThatCannotBeMadeIsReportedAndNothingIsTrimmed) {
    SetHistoryFolder(folder.Path());
    SetSettingString("Settings", "ArchiveFolder", Tessel::String("C:\\Archive"));
    SetSettingInt("Settings", "MaxHistory", 1);
    for (const wchar_t* name : {L"Glimpser 1.png", L"Glimpser 2.png", L"Glimpser 3.png"}) {
        CloseHandle(CreateFileW((folder / name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    CFileBase store;
    EXPECT_FALSE(ConfigureHistory(store));
    const std::string archive = Narrow(folder.Path()) + "\\C:\\Archive";
    EXPECT_EQ(messages.Shown(),
              (std::vector<std::string>{"Archive folder '" + archive +
                                        "' not found and couldn't be created.  Archiving "
                                        "disabled."}));
    EXPECT_EQ(messages.ShownFlags(), (std::vector<uint32_t>{MB_ICONERROR}));
    EXPECT_EQ(store.MaxHistory(), -1);
    Tessel::String path;
    EXPECT_TRUE(store.AddCapture(path));
    EXPECT_EQ(std::string(path.CStr()), Narrow(folder / L"Glimpser 4.png"));
    store.MarkStale();
    store.Refresh();
    EXPECT_EQ(store.Files().Count(), 3);
}

TEST_F(HistoryFolderTest, NegativeMaxHistorySettingNeverTrims) {
    SetHistoryFolder(folder.Path());
    SetSettingInt("Settings", "MaxHistory", -5);
    for (const wchar_t* name : {L"Glimpser 1.png", L"Glimpser 2.png"}) {
        CloseHandle(CreateFileW((folder / name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    CFileBase store;
    EXPECT_TRUE(ConfigureHistory(store));
    EXPECT_EQ(store.MaxHistory(), -5);
    Tessel::String path;
    EXPECT_TRUE(store.AddCapture(path));
    store.MarkStale();
    store.Refresh();
    EXPECT_EQ(store.Files().Count(), 2);
}

}  // namespace
