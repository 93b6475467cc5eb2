#include "history/file_base.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "history/history_folder.h"
#include "support/png_bytes.h"
#include "support/temp_folder.h"
#include "win/message_recorder.h"
#include "win/path_text.h"
#include "win/settings.h"
#include "win/win_text.h"

namespace {

using Names = std::vector<std::string>;
const std::vector<uint8_t> kOld{'o', 'l', 'd'};

class FileBaseTest : public testing::Test {
protected:
    void Write(std::initializer_list<const wchar_t*> names) {
        for (const wchar_t* name : names) {
            ASSERT_TRUE(WriteFileBytes(folder / name, {'p', 'n', 'g'}));
        }
    }
    bool Exists(const wchar_t* name) {
        return GetFileAttributesW((folder / name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    void Init(const std::wstring& path, int32_t maxHistory) {
        store.Init(ToUtf8(path.c_str()), Tessel::String("Glimpser *.png"),
                   Tessel::String("Glimpser %i.png"), maxHistory);
    }
    // The new capture's path, relative to the test folder.
    std::string Add() {
        Tessel::String path;
        EXPECT_TRUE(store.AddCapture(path));
        const std::string full = path.CStr();
        const std::string prefix = std::string(ToUtf8(folder.Path().c_str()).CStr()) + "\\";
        return full.rfind(prefix, 0) == 0 ? full.substr(prefix.size()) : full;
    }
    // The history as the viewer walks it from the oldest, read afresh unless told otherwise.
    Names Walk(bool reread = true) {
        if (reread) {
            store.MarkStale();
        }
        Names names;
        Tessel::String at;
        Tessel::String next;
        while (store.Navigate(at, 1, next)) {
            names.push_back(GetFileNamePart(next).CStr());
            at = next;
        }
        return names;
    }

    TempFolder folder;
    CFileBase store;
    MessageRecorder messages;
};

TEST_F(FileBaseTest, FirstCapturesAreOneAndTwoAndNumbersOnlyGrow) {
    Init(folder.Path(), 100);
    EXPECT_EQ(Add(), "Glimpser 1.png");
    Write({L"Glimpser 1.png"});
    EXPECT_EQ(Add(), "Glimpser 2.png");
    EXPECT_EQ(Add(), "Glimpser 3.png");  // 2 was never written
}

TEST_F(FileBaseTest, ListsInNaturalOrderAndNumbersAboveTheNewestNumberedFile) {
    // Renamed files that no number can follow must not stall the choice; the new capture
    // still sorts after every file a number can follow, so it is the one Previous opens.
    Write({L"Glimpser 10.png", L"Glimpser 3.png", L"Glimpser 007.png", L"glimpser 9.PNG",
           L"Glimpser 11x.png", L"Glimpser abc.png", L"Glimpser zzz.png", L"Glimpser 4.txt",
           L"Other 5.png"});
    CreateDirectoryW((folder / L"Glimpser 50.png").c_str(), nullptr);
    Init(folder.Path(), 100);
    EXPECT_EQ(Walk(),
              (Names{"Glimpser 3.png", "Glimpser 007.png", "glimpser 9.PNG", "Glimpser 10.png",
                     "Glimpser 11x.png", "Glimpser abc.png", "Glimpser zzz.png"}));
    EXPECT_EQ(Add(), "Glimpser 12.png");
}

TEST_F(FileBaseTest, ATakenNameIsSkippedAndTheListIsReread) {
    Write({L"Glimpser 4.png"});
    Init(folder.Path(), 100);
    store.Refresh();
    // Behind the store's back: another process writes a file and a folder takes number 5.
    Write({L"Glimpser 2.png"});
    CreateDirectoryW((folder / L"Glimpser 5.png").c_str(), nullptr);
    EXPECT_EQ(Add(), "Glimpser 6.png");
    EXPECT_EQ(Walk(false), (Names{"Glimpser 2.png", "Glimpser 4.png"}));
}

TEST_F(FileBaseTest, TrimsTheOldestBeforeTheCaptureIsWrittenUnlessTheLimitIsNegative) {
    Write({L"Glimpser 1.png", L"Glimpser 2.png", L"Glimpser 3.png", L"Glimpser 4.png"});
    Init(folder.Path(), 3);
    EXPECT_EQ(Add(), "Glimpser 5.png");
    EXPECT_EQ(Walk(), (Names{"Glimpser 3.png", "Glimpser 4.png"}));
    Write({L"Glimpser 5.png"});
    store.SetMaxHistory(0);
    EXPECT_EQ(Add(), "Glimpser 6.png");
    EXPECT_EQ(Walk(), Names{});
    Write({L"Glimpser 6.png"});
    store.SetMaxHistory(-1);
    EXPECT_EQ(Add(), "Glimpser 7.png");
    Write({L"Glimpser 7.png"});
    EXPECT_EQ(Walk(), (Names{"Glimpser 6.png", "Glimpser 7.png"}));
    store.SetMaxHistory(INT32_MAX);
    EXPECT_EQ(Add(), "Glimpser 8.png");
    EXPECT_EQ(Walk(), (Names{"Glimpser 6.png", "Glimpser 7.png"}));
}

TEST_F(FileBaseTest, ArchivingNeverReplacesAnArchivedFile) {
    Write({L"Glimpser 1.png", L"Glimpser 2.png", L"Glimpser 3.png"});
    const std::wstring archive = folder / L"Archive";
    CreateDirectoryW(archive.c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(archive + L"\\Glimpser 1.png", kOld));
    Init(folder.Path(), 2);
    store.SetArchiveFolder(ToUtf8(archive.c_str()));
    EXPECT_EQ(Add(), "Glimpser 4.png");
    EXPECT_EQ(ReadFileBytes(archive + L"\\Glimpser 1.png"), kOld);
    EXPECT_TRUE(Exists(L"Archive\\Glimpser 2.png"));
    // The file that could not move stays in the history.
    EXPECT_EQ(Walk(), (Names{"Glimpser 1.png", "Glimpser 3.png"}));
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(FileBaseTest, NavigateStopsAtBothEndsAndSkipsVanishedFiles) {
    Write({L"Glimpser 1.png", L"Glimpser 2.png", L"Glimpser 3.png", L"Glimpser 4.png"});
    Init(folder.Path(), 100);
    struct Case {
        const wchar_t* vanish;  // deleted before the step
        const char* current;    // "": no current file
        int step;
        const char* expected;  // "none": nothing found
    };
    const Case cases[] = {
        {L"", "", -1, "Glimpser 4.png"},
        {L"", "", 1, "Glimpser 1.png"},
        {L"", "Glimpser 2.png", 1, "Glimpser 3.png"},
        {L"", "Glimpser 2.png", -1, "Glimpser 1.png"},
        {L"", "Glimpser 4.png", 1, "none"},
        {L"", "Glimpser 1.png", -1, "none"},
        {L"", "Glimpser 9.png", -1, "Glimpser 4.png"},  // not listed: from the end
        {L"", "glimpser 2.png", 1, "Glimpser 1.png"},   // names match case-sensitively
        {L"", "..\\elsewhere\\Glimpser 3.png", 1, "Glimpser 4.png"},  // only the name counts
        {L"Glimpser 2.png", "Glimpser 1.png", 1, "Glimpser 3.png"},
        {L"Glimpser 3.png", "Glimpser 4.png", -1, "Glimpser 1.png"},
        {L"Glimpser 1.png", "Glimpser 4.png", -1, "none"},
    };
    const Tessel::String history = ToUtf8(folder.Path().c_str());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.current << " " << c.step);
        if (*c.vanish) {
            DeleteFileW((folder / c.vanish).c_str());
        }
        Tessel::String out("none");
        EXPECT_EQ(store.Navigate(
                      *c.current ? JoinPath(history, Tessel::String(c.current)) : Tessel::String(),
                      c.step, out),
                  strcmp(c.expected, "none") != 0);
        EXPECT_STREQ(GetFileNamePart(out).CStr(), c.expected);
    }
}

TEST_F(FileBaseTest, DeletingReportsFilesThatStayedOnce) {
    Write(
        {L"Glimpser 1.png", L"Glimpser 2.png", L"Glimpser 3.png", L"Glimpser 4.png", L"notes.txt"});
    Init(folder.Path(), 100);
    store.DeleteHistoryFile(ToUtf8((folder / L"Glimpser 4.png").c_str()));
    EXPECT_FALSE(Exists(L"Glimpser 4.png"));
    for (const wchar_t* name : {L"Glimpser 2.png", L"Glimpser 3.png"}) {
        SetFileAttributesW((folder / name).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    store.DeleteAllHistory();
    const ShownMessages once{{"Failed to delete one or more files", MB_ICONERROR}};
    EXPECT_EQ(messages.Shown(), once);
    EXPECT_EQ(Walk(), (Names{"Glimpser 2.png", "Glimpser 3.png"}));
    EXPECT_TRUE(Exists(L"notes.txt"));
    for (const wchar_t* name : {L"Glimpser 2.png", L"Glimpser 3.png"}) {
        SetFileAttributesW((folder / name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    store.DeleteAllHistory();
    EXPECT_EQ(Walk(), Names{});
    EXPECT_EQ(messages.Shown(), once);
}

// A path in a folder that is not there, or is a file, could only fail to be written.
TEST_F(FileBaseTest, NoCaptureIsAddedWithoutAFolder) {
    Write({L"plain.txt"});
    for (const std::wstring& history : {std::wstring(), folder / L"missing\\deeper",
                                        folder / L"plain.txt", std::wstring(L"Q:\\Nowhere")}) {
        Init(history, 0);
        Tessel::String path("unchanged");
        EXPECT_FALSE(store.AddCapture(path));
        EXPECT_FALSE(store.Navigate(Tessel::String(""), -1, path));
        EXPECT_STREQ(path.CStr(), "unchanged");
    }
    EXPECT_TRUE(Exists(L"plain.txt"));
}

// ConfigureHistory: the settings that choose the folder, the archive and the limit.
class HistoryFolderTest : public FileBaseTest {
protected:
    void SetUp() override { ClearSettings(); }
    void TearDown() override { ClearSettings(); }
    static void ClearSettings() {
        for (const wchar_t* name : {L"HistoryFolder", L"ArchiveFolder", L"MaxHistory"}) {
            RegDeleteKeyValueW(HKEY_CURRENT_USER,
                               L"Software\\Tarrowby Software\\Glimpser\\Settings", name);
        }
    }
    // A null archive and a limit of 100 leave their settings unset, to take the defaults.
    bool Configure(const wchar_t* history, const char* archive, int32_t maxHistory) {
        SetSettingString("Settings", "HistoryFolder", ToUtf8((folder / history).c_str()));
        SetSettingString("Settings", "ArchiveFolder", Tessel::String(archive));
        if (maxHistory != 100) {
            SetSettingInt("Settings", "MaxHistory", maxHistory);
        }
        return ConfigureHistory(store);
    }
};

// The default folder, a space or empty setting and a folder that is a file are driven end to end.
TEST_F(HistoryFolderTest, DefaultsKeepAHundredDeletedAndMakeOneLevel) {
    const Tessel::String byDefault = GetHistoryFolder();
    SetSettingString("Settings", "HistoryFolder", Tessel::String(" \t "));  // blank: the default
    EXPECT_STREQ(GetHistoryFolder().CStr(), byDefault.CStr());
    EXPECT_FALSE(Configure(L"a\\b", nullptr, 100));
    EXPECT_FALSE(Exists(L"a"));
    ASSERT_TRUE(Configure(L"History\\", nullptr, 100));  // a trailing separator is no harm
    for (int i = 1; i <= 100; ++i) {
        Write({(L"History\\Glimpser " + std::to_wstring(i) + L".png").c_str()});
    }
    EXPECT_EQ(Add(), "History\\Glimpser 101.png");
    EXPECT_FALSE(Exists(L"History\\Glimpser 1.png"));
    EXPECT_TRUE(Exists(L"History\\Glimpser 2.png"));
}

TEST_F(HistoryFolderTest, ArchivesIntoARelativeFolderInsideTheHistory) {
    EXPECT_TRUE(Configure(L"History", "Old", 1));
    Write({L"History\\Glimpser 1.png"});
    EXPECT_EQ(Add(), "History\\Glimpser 2.png");
    EXPECT_TRUE(Exists(L"History\\Old\\Glimpser 1.png"));
    EXPECT_FALSE(Exists(L"History\\Glimpser 1.png"));
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(HistoryFolderTest, AnArchiveThatCannotBeMadeIsReportedAndNothingIsTrimmed) {
    EXPECT_FALSE(Configure(L"History", "C:\\Archive", 1));
    const std::string archive = ToUtf8((folder / L"History\\C:\\Archive").c_str()).CStr();
    EXPECT_EQ(messages.Shown(), (ShownMessages{{"Archive folder '" + archive +
                                                    "' not found and couldn't be created.  "
                                                    "Archiving disabled.",
                                                MB_ICONERROR}}));
    Write({L"History\\Glimpser 1.png", L"History\\Glimpser 2.png"});
    EXPECT_EQ(Add(), "History\\Glimpser 3.png");
    EXPECT_EQ(Walk(), (Names{"Glimpser 1.png", "Glimpser 2.png"}));
}

}  // namespace
