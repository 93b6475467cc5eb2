#include "history/file_base.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <initializer_list>
#include <string>
#include <vector>

#include "history/history_folder.h"
#include "support/png_bytes.h"
#include "support/temp_folder.h"
#include "win/message_recorder.h"
#include "win/path_text.h"
#include "win/scoped_win.h"
#include "win/settings.h"
#include "win/win_text.h"

namespace {

using Names = std::vector<std::string>;

// The store as the viewer sets it up, from the settings, over files in a temporary folder.
class FileBaseTest : public testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kRoot); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kRoot); }

    // A null archive and a limit of 100 leave their settings unset, to take the defaults.
    bool Configure(const wchar_t* history = L"", const char* archive = nullptr,
                   int32_t maxHistory = 100) {
        SetSettingString("Settings", "HistoryFolder", ToUtf8((folder / history).c_str()));
        SetSettingString("Settings", "ArchiveFolder", Tessel::String(archive));
        if (maxHistory != 100) {
            SetSettingInt("Settings", "MaxHistory", maxHistory);
        }
        return ConfigureHistory(store);
    }
    // Names are relative to the test folder.
    void Write(std::initializer_list<std::wstring> names) {
        for (const std::wstring& name : names) {
            ASSERT_TRUE(WriteFileBytes(folder / name, {'p', 'n', 'g'}));
        }
    }
    bool Exists(const wchar_t* name) {
        return GetFileAttributesW((folder / name).c_str()) != INVALID_FILE_ATTRIBUTES;
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

    static constexpr wchar_t kRoot[] = L"Software\\Tarrowby Software\\Glimpser";
    TempFolder folder;
    CFileBase store;
    MessageRecorder messages;
};

// The first captures of an empty folder, 1 then 2, are run end to end.
TEST_F(FileBaseTest, ListsInNaturalOrderAndNumbersOnlyGrowPastTakenNames) {
    // Names the pattern does not match take no part.
    Write({L"Glimpser 10.png", L"Glimpser 3.png", L"Glimpser 007.png", L"glimpser 9.PNG",
           L"Glimpser abc.png", L"Glimpser 4.txt", L"Other 5.png"});
    ASSERT_TRUE(Configure());
    EXPECT_EQ(Walk(), (Names{"Glimpser 3.png", "Glimpser 007.png", "glimpser 9.PNG",
                             "Glimpser 10.png", "Glimpser abc.png"}));
    // Behind the store's back: another process writes a file and a folder takes number 11.
    Write({L"Glimpser 2.png"});
    CreateDirectoryW((folder / L"Glimpser 11.png").c_str(), nullptr);
    EXPECT_EQ(Add(), "Glimpser 12.png");
    EXPECT_EQ(Walk(false), (Names{"Glimpser 2.png", "Glimpser 3.png", "Glimpser 007.png",
                                  "glimpser 9.PNG", "Glimpser 10.png", "Glimpser abc.png"}));
    EXPECT_EQ(Add(), "Glimpser 13.png");  // 12 was never written
}

// A limit of 0 is run end to end.
TEST_F(FileBaseTest, TrimsTheOldestBeforeTheCaptureIsWrittenUnlessTheLimitIsNegative) {
    ASSERT_TRUE(Configure());
    const Names all{"Glimpser 1.png", "Glimpser 2.png", "Glimpser 3.png", "Glimpser 4.png"};
    const struct {
        int32_t limit;
        Names kept;  // the new capture is counted, though not yet written
    } cases[] = {{3, {"Glimpser 3.png", "Glimpser 4.png"}}, {-1, all}, {INT32_MAX, all}};
    for (const auto& c : cases) {
        Write({L"Glimpser 1.png", L"Glimpser 2.png", L"Glimpser 3.png", L"Glimpser 4.png"});
        store.SetMaxHistory(c.limit);
        Add();
        EXPECT_EQ(Walk(), c.kept) << c.limit;
    }
}

TEST_F(FileBaseTest, ArchivesInsideTheHistoryAndNeverReplacesAnArchivedFile) {
    ASSERT_TRUE(Configure(L"History", "Old", 2));
    const std::vector<uint8_t> old{'o', 'l', 'd'};
    ASSERT_TRUE(WriteFileBytes(folder / L"History\\Old\\Glimpser 1.png", old));
    Write({L"History\\Glimpser 1.png", L"History\\Glimpser 2.png", L"History\\Glimpser 3.png"});
    EXPECT_EQ(Add(), "History\\Glimpser 4.png");
    EXPECT_EQ(ReadFileBytes(folder / L"History\\Old\\Glimpser 1.png"), old);
    EXPECT_TRUE(Exists(L"History\\Old\\Glimpser 2.png"));
    // The file that could not move stays in the history.
    EXPECT_EQ(Walk(), (Names{"Glimpser 1.png", "Glimpser 3.png"}));
    EXPECT_TRUE(messages.Take().empty());
}

TEST_F(FileBaseTest, AnArchiveThatCannotBeMadeIsReportedAndNothingIsTrimmed) {
    EXPECT_FALSE(Configure(L"History", "C:\\Archive", 1));
    const std::string archive = ToUtf8((folder / L"History\\C:\\Archive").c_str()).CStr();
    EXPECT_EQ(messages.Take(), (ShownMessages{{"Archive folder '" + archive +
                                                   "' not found and couldn't be created.  "
                                                   "Archiving disabled.",
                                               MB_ICONERROR}}));
    Write({L"History\\Glimpser 1.png", L"History\\Glimpser 2.png"});
    EXPECT_EQ(Add(), "History\\Glimpser 3.png");
    EXPECT_EQ(Walk(), (Names{"Glimpser 1.png", "Glimpser 2.png"}));
}

// The default folder, a space or empty setting and a folder that is a file are run end to end.
TEST_F(FileBaseTest, ConfigureMakesOneLevelAndKeepsAHundredByDefault) {
    const Tessel::String byDefault = GetHistoryFolder();
    SetSettingString("Settings", "HistoryFolder", Tessel::String(" \t "));  // blank: the default
    EXPECT_STREQ(GetHistoryFolder().CStr(), byDefault.CStr());
    EXPECT_FALSE(Configure(L"a\\b"));
    EXPECT_FALSE(Exists(L"a"));
    ASSERT_TRUE(Configure(L"History\\"));  // a trailing separator is no harm
    for (int i = 1; i <= 100; ++i) {
        Write({L"History\\Glimpser " + std::to_wstring(i) + L".png"});
    }
    EXPECT_EQ(Add(), "History\\Glimpser 101.png");
    EXPECT_FALSE(Exists(L"History\\Glimpser 1.png"));
    EXPECT_TRUE(Exists(L"History\\Glimpser 2.png"));
}

// No folder at all, and a folder that is a file, are run end to end; no number left by the
// viewer's tests.
TEST_F(FileBaseTest, AFolderThatTakesNoCaptureIsDescribedByWhatIsWrongWithIt) {
    const std::wstring missing = folder / L"missing\\deeper";
    const struct {
        std::wstring setting;
        std::string message;
    } rows[] = {
        {L"Q:\\Captures",
         "The history folder 'Q:\\Captures' is on a drive that is not there.  Connect the drive "
         "or change the HistoryFolder setting."},
        {missing, "The history folder '" + std::string(ToUtf8(missing.c_str()).CStr()) +
                      "' does not exist and could not be created.  Create it or change the "
                      "HistoryFolder setting."},
    };
    for (const auto& row : rows) {
        SetSettingString("Settings", "HistoryFolder", ToUtf8(row.setting.c_str()));
        ConfigureHistory(store);
        Tessel::String path;
        EXPECT_FALSE(store.AddCapture(path)) << row.message;
        EXPECT_EQ(DescribeHistoryFolderProblem(store.Folder()).CStr(), row.message);
    }
}

// The first and last steps, and steps from the middle, are run by the viewer's tests; the first
// step from no file, and skipping a vanished file forwards, by every walk above.
TEST_F(FileBaseTest, NavigateMatchesTheExactNameAndSkipsVanishedFiles) {
    Write({L"Glimpser 1.png", L"Glimpser 2.png", L"Glimpser 3.png", L"Glimpser 4.png"});
    ASSERT_TRUE(Configure());
    const struct {
        const wchar_t* vanish;  // deleted before the step
        const char* current;    // "": no current file
        int step;
        std::string expected;  // "": nothing found
    } cases[] = {
        {L"", "Glimpser 9.png", -1, "Glimpser 4.png"},  // not listed: from the end
        {L"", "glimpser 2.png", 1, "Glimpser 1.png"},   // names match case-sensitively
        {L"", "..\\elsewhere\\Glimpser 3.png", 1, "Glimpser 4.png"},  // only the name counts
        {L"Glimpser 3.png", "Glimpser 4.png", -1, "Glimpser 2.png"},
        {L"Glimpser 1.png", "Glimpser 2.png", -1, ""},
    };
    for (const auto& c : cases) {
        if (*c.vanish) {
            DeleteFileW((folder / c.vanish).c_str());
        }
        Tessel::String path;
        const Tessel::String current =
            *c.current ? JoinPath(store.Folder(), Tessel::String(c.current)) : Tessel::String();
        EXPECT_EQ(store.Navigate(current, c.step, path), !c.expected.empty()) << c.current;
        EXPECT_EQ(GetFileNamePart(path).CStr(), c.expected) << c.current;
    }
}

// Other processes write 3, then 5 and 6, while this store's list holds 1 and 2: the capture
// takes 4, and the trim, however small the limit, stops at it. When another process renames its
// capture into 4 first, this one goes to the next free number and replaces nothing.
TEST_F(FileBaseTest, ACaptureWhoseNameIsTakenMovesUpAndTheTrimSparesNewerFiles) {
    Write({L"Glimpser 1.png", L"Glimpser 2.png"});
    ASSERT_TRUE(Configure(L"", nullptr, 1));
    EXPECT_EQ(Walk(), (Names{"Glimpser 1.png", "Glimpser 2.png"}));
    Write({L"Glimpser 3.png", L"Glimpser 5.png", L"Glimpser 6.png"});
    Tessel::String path;
    ASSERT_TRUE(store.AddCapture(path));
    EXPECT_STREQ(GetFileNamePart(path).CStr(), "Glimpser 4.png");
    EXPECT_EQ(Walk(), (Names{"Glimpser 5.png", "Glimpser 6.png"}));

    const std::vector<uint8_t> ours{'o', 'u', 'r', 's'};
    const std::wstring temporary = folder / L"~Glimpser 4.1.tmp";
    ASSERT_TRUE(WriteFileBytes(temporary, ours));
    Write({L"Glimpser 4.png", L"Glimpser 7.png"});
    EXPECT_TRUE(store.PlaceCapture(ToUtf8(temporary.c_str()), path));
    EXPECT_STREQ(GetFileNamePart(path).CStr(), "Glimpser 8.png");
    EXPECT_EQ(ReadFileBytes(folder / L"Glimpser 8.png"), ours);
    EXPECT_EQ(ReadFileBytes(folder / L"Glimpser 4.png").size(), 3u);
    EXPECT_FALSE(Exists(L"~Glimpser 4.1.tmp"));
    // A file that cannot be moved is not retried, and the path stays as it was.
    EXPECT_FALSE(store.PlaceCapture(ToUtf8(temporary.c_str()), path));
    EXPECT_STREQ(GetFileNamePart(path).CStr(), "Glimpser 8.png");
}

// What a killed writer leaves is removed when the next store opens the folder: its process is
// gone, or the file is a day old. Files of a writer that runs, and every other name, stay.
TEST_F(FileBaseTest, LeftoversOfDeadWritersAreRemovedWhenAStoreOpensTheFolder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION ended{};
    wchar_t line[] = L"cmd.exe /c exit";
    ASSERT_TRUE(CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                               nullptr, &startup, &ended));
    const ScopedHandle process(ended.hProcess), thread(ended.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    const auto name = [](const wchar_t* stem, DWORD writer) {
        wchar_t text[64];
        swprintf(text, 64, L"~%ls.%x.tmp", stem, static_cast<unsigned>(writer));
        return std::wstring(text);
    };
    const DWORD dead = ended.dwProcessId, running = GetCurrentProcessId();
    const struct {
        std::wstring name;
        bool dayOld;
        bool removed;
    } cases[] = {
        {name(L"Glimpser 3", dead), false, true},
        {name(L"Glimpser 4", running), false, false},
        {name(L"Glimpser 5", running), true, true},
        {name(L"glimpser 6", dead), false, true},
        {name(L"Glimpser 6x", dead), false, false},
        {name(L"Glimpser x", dead), false, false},
        {name(L"Glimpser 7", dead) + L".bak", false, false},
        {name(L"Glimpser 8", dead) + L"\\", false, false},  // a folder
        {L"Glimpser 9.png", true, false},
    };
    for (const auto& c : cases) {
        if (c.name.ends_with(L"\\")) {
            CreateDirectoryW((folder / c.name).c_str(), nullptr);
            continue;
        }
        Write({c.name});
        if (c.dayOld) {
            const ScopedHandle file(CreateFileW((folder / c.name).c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                                nullptr, OPEN_EXISTING, 0, nullptr));
            FILETIME time{};
            GetSystemTimeAsFileTime(&time);
            const uint64_t old = (uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime) -
                                 25ull * 60 * 60 * 10000000;  // 25 hours
            time = {static_cast<DWORD>(old), static_cast<DWORD>(old >> 32)};
            ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &time));
        }
    }
    ASSERT_TRUE(Configure());
    for (const auto& c : cases)
        EXPECT_EQ(Exists(c.name.c_str()), !c.removed) << ToUtf8(c.name.c_str()).CStr();
}

// Deleting one file, and every file with none refused, are run by the viewer's tests.
TEST_F(FileBaseTest, DeletingAllReportsFilesThatStayedOnceAndSparesOtherFiles) {
    Write({L"Glimpser 1.png", L"Glimpser 2.png", L"Glimpser 3.png", L"notes.txt"});
    ASSERT_TRUE(Configure());
    for (const wchar_t* name : {L"Glimpser 2.png", L"Glimpser 3.png"}) {
        SetFileAttributesW((folder / name).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    store.DeleteAllHistory();
    EXPECT_EQ(messages.Take(),
              (ShownMessages{{"Failed to delete one or more files", MB_ICONERROR}}));
    EXPECT_EQ(Walk(), (Names{"Glimpser 2.png", "Glimpser 3.png"}));
    EXPECT_TRUE(Exists(L"notes.txt"));
}

// Without a folder there is no history: the search must not fall back on the current
// directory. A missing folder, or a file in its place, is run end to end and by the viewer.
TEST_F(FileBaseTest, NoFolderIsNoHistory) {
    Write({L"Glimpser 1.png"});
    wchar_t previous[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(folder.Path().c_str());
    store.Init(Tessel::String(), Tessel::String("Glimpser *.png"),
               Tessel::String("Glimpser %i.png"), 100);
    Tessel::String path("unchanged");
    EXPECT_FALSE(store.AddCapture(path));
    EXPECT_FALSE(store.Navigate(Tessel::String(), -1, path));
    EXPECT_STREQ(path.CStr(), "unchanged");
    SetCurrentDirectoryW(previous);
}

}  // namespace
