#include "history/file_base.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "app/win_text.h"
#include "history/message_recorder.h"
#include "support/temp_folder.h"

namespace {

std::string Narrow(const std::wstring& wide) {
    return ToUtf8(wide.c_str()).CStr();
}

class FileBaseTest : public testing::Test {
protected:
    void InitStore(int32_t maxHistory) {
        store.Init(ToUtf8(folder.Path().c_str()), Tessel::String("Glimpser *.png"),
                   Tessel::String("Glimpser %i.png"), maxHistory);
    }

    // Writes a small file, as the viewer would write a capture, with `text` as its content.
    void Write(const std::wstring& path, const char* text = "png") {
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << Narrow(path);
        DWORD written = 0;
        WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
        CloseHandle(file);
    }
    void WriteAll(std::initializer_list<const wchar_t*> names) {
        for (const wchar_t* name : names) {
            Write(folder / name);
        }
    }
    static std::string Read(const std::wstring& path) {
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return "<missing>";
        }
        char buffer[64] = {};
        DWORD read = 0;
        ReadFile(file, buffer, sizeof(buffer) - 1, &read, nullptr);
        CloseHandle(file);
        return std::string(buffer, read);
    }
    static bool Exists(const std::wstring& path) {
        return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    std::vector<std::string> Listed() const {
        std::vector<std::string> names;
        for (const Tessel::String& name : store.Files()) {
            names.push_back(name.CStr());
        }
        return names;
    }
    // The history files the folder holds now, in the order a fresh read gives.
    std::vector<std::string> OnDisk() {
        store.MarkStale();
        store.Refresh();
        return Listed();
    }
    // The full path of a capture and its file name part.
    std::string PathOf(const wchar_t* name) const { return Narrow(folder / name); }
    std::string AddCapture() {
        Tessel::String path;
        EXPECT_TRUE(store.AddCapture(path));
        return path.CStr();
    }

    TempFolder folder;
    CFileBase store;
    MessageRecorder messages;
};

using Names = std::vector<std::string>;

TEST_F(FileBaseTest, FirstCapturesInAnEmptyFolderAreOneAndTwo) {
    InitStore(100);
    EXPECT_EQ(AddCapture(), PathOf(L"Glimpser 1.png"));
    Write(folder / L"Glimpser 1.png");
    EXPECT_EQ(AddCapture(), PathOf(L"Glimpser 2.png"));
    EXPECT_EQ(Listed(), (Names{"Glimpser 1.png", "Glimpser 2.png"}));
    // Numbers only grow within one store, written or not.
    EXPECT_EQ(AddCapture(), PathOf(L"Glimpser 3.png"));
}

TEST_F(FileBaseTest, ListsHistoryFilesInNaturalOrderAndNumbersAboveTheNewest) {
    WriteAll({L"Glimpser 10.png", L"Glimpser 3.png", L"Glimpser 007.png", L"glimpser 9.PNG",
              L"Glimpser 4.txt", L"Other 5.png"});
    CreateDirectoryW((folder / L"Glimpser 50.png").c_str(), nullptr);
    InitStore(100);
    store.Refresh();
    EXPECT_EQ(Listed(),
              (Names{"Glimpser 3.png", "Glimpser 007.png", "glimpser 9.PNG", "Glimpser 10.png"}));
    EXPECT_EQ(AddCapture(), PathOf(L"Glimpser 11.png"));
}

TEST_F(FileBaseTest, AFolderTakingANameIsSkippedAndTheListIsReread) {
    WriteAll({L"Glimpser 4.png"});
    InitStore(100);
    store.Refresh();
    // Behind the store's back: another process writes a file, and a folder takes number 5.
    WriteAll({L"Glimpser 2.png"});
    CreateDirectoryW((folder / L"Glimpser 5.png").c_str(), nullptr);
    EXPECT_EQ(AddCapture(), PathOf(L"Glimpser 6.png"));
    EXPECT_EQ(Listed(), (Names{"Glimpser 2.png", "Glimpser 4.png", "Glimpser 6.png"}));
}

TEST_F(FileBaseTest, RenamedFilesThatNoNumberFollowsDoNotStopTheChoice) {
    WriteAll({L"Glimpser 2.png", L"Glimpser abc.png", L"Glimpser zzz.png"});
    InitStore(100);
    EXPECT_EQ(AddCapture(), PathOf(L"Glimpser 3.png"));
    EXPECT_EQ(Listed(),
              (Names{"Glimpser 2.png", "Glimpser 3.png", "Glimpser abc.png", "Glimpser zzz.png"}));
}

TEST_F(FileBaseTest, TrimmingDeletesTheOldestBeyondTheLimit) {
    WriteAll({L"Glimpser 1.png", L"Glimpser 2.png", L"Glimpser 3.png", L"Glimpser 4.png"});
    InitStore(3);
    EXPECT_EQ(AddCapture(), PathOf(L"Glimpser 5.png"));
    EXPECT_EQ(Listed(), (Names{"Glimpser 3.png", "Glimpser 4.png", "Glimpser 5.png"}));
    EXPECT_EQ(OnDisk(), (Names{"Glimpser 3.png", "Glimpser 4.png"}));
}

TEST_F(FileBaseTest, LimitZeroLeavesOnlyTheNewCaptureOnceWritten) {
    WriteAll({L"Glimpser 1.png", L"Glimpser 2.png"});
    InitStore(0);
    EXPECT_EQ(AddCapture(), PathOf(L"Glimpser 3.png"));
    EXPECT_EQ(Listed(), Names{});
    Write(folder / L"Glimpser 3.png");
    EXPECT_EQ(OnDisk(), (Names{"Glimpser 3.png"}));
}

TEST_F(FileBaseTest, NegativeLimitNeverTrims) {
    WriteAll({L"Glimpser 1.png", L"Glimpser 2.png", L"Glimpser 3.png"});
    InitStore(-1);
    EXPECT_EQ(AddCapture(), PathOf(L"Glimpser 4.png"));
    Write(folder / L"Glimpser 4.png");
    store.SetMaxHistory(INT32_MIN);
    EXPECT_EQ(AddCapture(), PathOf(L"Glimpser 5.png"));
    EXPECT_EQ(OnDisk(),
              (Names{"Glimpser 1.png", "Glimpser 2.png", "Glimpser 3.png", "Glimpser 4.png"}));
}

TEST_F(FileBaseTest, ArchivingMovesTheOldestButNeverReplacesAnArchivedFile) {
    WriteAll({L"Glimpser 1.png", L"Glimpser 2.png", L"Glimpser 3.png"});
    const std::wstring archive = folder / L"Archive";
    CreateDirectoryW(archive.c_str(), nullptr);
    Write(archive + L"\\Glimpser 1.png", "archived earlier");
    InitStore(2);
    store.SetArchiveFolder(ToUtf8(archive.c_str()));
    EXPECT_EQ(AddCapture(), PathOf(L"Glimpser 4.png"));
    EXPECT_EQ(Listed(), (Names{"Glimpser 3.png", "Glimpser 4.png"}));
    EXPECT_EQ(Read(archive + L"\\Glimpser 1.png"), "archived earlier");
    EXPECT_EQ(Read(archive + L"\\Glimpser 2.png"), "png");
    // The file that could not move stays, and comes back with the next read.
    EXPECT_EQ(OnDisk(), (Names{"Glimpser 1.png", "Glimpser 3.png"}));
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(FileBaseTest, NavigateWalksWithoutWrappingAndSkipsVanishedFiles) {
    WriteAll({L"Glimpser 1.png", L"Glimpser 2.png", L"Glimpser 3.png", L"Glimpser 4.png"});
    InitStore(100);
    struct Case {
        const wchar_t* current;  // nullptr: no current file
        int step;
        const wchar_t* expected;  // nullptr: nothing found
    };
    const Case cases[] = {
        {nullptr, -1, L"Glimpser 4.png"},
        {nullptr, 1, L"Glimpser 1.png"},
        {L"Glimpser 2.png", 1, L"Glimpser 3.png"},
        {L"Glimpser 2.png", -1, L"Glimpser 1.png"},
        {L"Glimpser 4.png", 1, nullptr},
        {L"Glimpser 1.png", -1, nullptr},
        {L"Glimpser 9.png", -1, L"Glimpser 4.png"},  // not listed: from the end
        {L"glimpser 2.png", 1, L"Glimpser 1.png"},   // names match case-sensitively
    };
    for (const Case& c : cases) {
        Tessel::String out("unchanged");
        const Tessel::String current =
            c.current ? ToUtf8((folder / c.current).c_str()) : Tessel::String("");
        EXPECT_EQ(store.Navigate(current, c.step, out), c.expected != nullptr);
        EXPECT_EQ(std::string(out.CStr()), c.expected ? PathOf(c.expected) : "unchanged");
    }
    // Only the name counts: the same name in another folder is found in the list.
    Tessel::String out;
    EXPECT_TRUE(store.Navigate(Tessel::String("D:\\elsewhere/Glimpser 3.png"), 1, out));
    EXPECT_EQ(std::string(out.CStr()), PathOf(L"Glimpser 4.png"));

    DeleteFileW((folder / L"Glimpser 2.png").c_str());
    DeleteFileW((folder / L"Glimpser 3.png").c_str());
    EXPECT_TRUE(store.Navigate(ToUtf8((folder / L"Glimpser 4.png").c_str()), -1, out));
    EXPECT_EQ(std::string(out.CStr()), PathOf(L"Glimpser 1.png"));
    // Meeting vanished files marked the list for a re-read.
    store.Refresh();
    EXPECT_EQ(Listed(), (Names{"Glimpser 1.png", "Glimpser 4.png"}));
    DeleteFileW((folder / L"Glimpser 1.png").c_str());
    out = Tessel::String("unchanged");
    EXPECT_FALSE(store.Navigate(ToUtf8((folder / L"Glimpser 4.png").c_str()), -1, out));
    EXPECT_STREQ(out.CStr(), "unchanged");
}

TEST_F(FileBaseTest, DeleteHistoryFileRemovesTheFileAndItsEntry) {
    WriteAll({L"Glimpser 1.png", L"Glimpser 2.png", L"Glimpser 3.png"});
    InitStore(100);
    store.Refresh();
    store.DeleteHistoryFile(ToUtf8((folder / L"Glimpser 2.png").c_str()));
    EXPECT_FALSE(Exists(folder / L"Glimpser 2.png"));
    EXPECT_EQ(Listed(), (Names{"Glimpser 1.png", "Glimpser 3.png"}));
    EXPECT_EQ(OnDisk(), (Names{"Glimpser 1.png", "Glimpser 3.png"}));
}

TEST_F(FileBaseTest, DeleteAllHistoryReportsAFileThatStayedOnce) {
    WriteAll(
        {L"Glimpser 1.png", L"Glimpser 2.png", L"Glimpser 3.png", L"Glimpser 4.png", L"notes.txt"});
    CreateDirectoryW((folder / L"Archive").c_str(), nullptr);
    Write(folder / L"Archive\\Glimpser 1.png");
    SetFileAttributesW((folder / L"Glimpser 2.png").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((folder / L"Glimpser 3.png").c_str(), FILE_ATTRIBUTE_READONLY);
    InitStore(100);
    store.DeleteAllHistory();
    EXPECT_EQ(Listed(), Names{});
    EXPECT_EQ(messages.Shown(), (std::vector<std::string>{"Failed to delete one or more files"}));
    EXPECT_EQ(messages.ShownFlags(), (std::vector<uint32_t>{MB_ICONERROR}));
    EXPECT_EQ(OnDisk(), (Names{"Glimpser 2.png", "Glimpser 3.png"}));
    EXPECT_TRUE(Exists(folder / L"notes.txt"));
    EXPECT_TRUE(Exists(folder / L"Archive\\Glimpser 1.png"));

    for (const wchar_t* name : {L"Glimpser 2.png", L"Glimpser 3.png"}) {
        SetFileAttributesW((folder / name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    store.DeleteAllHistory();
    EXPECT_EQ(OnDisk(), Names{});
    EXPECT_EQ(messages.Shown().size(), 1u);
}

TEST_F(FileBaseTest, WithoutAFolderThereIsNoHistory) {
    store.Init(Tessel::String(""), Tessel::String("Glimpser *.png"),
               Tessel::String("Glimpser %i.png"), 100);
    Tessel::String path("unchanged");
    EXPECT_FALSE(store.AddCapture(path));
    EXPECT_STREQ(path.CStr(), "unchanged");
    EXPECT_FALSE(store.Navigate(Tessel::String(""), -1, path));
}

TEST_F(FileBaseTest, AMissingFolderStillHandsOutAPath) {
    const std::wstring missing = folder / L"missing\\deeper";
    store.Init(ToUtf8(missing.c_str()), Tessel::String("Glimpser *.png"),
               Tessel::String("Glimpser %i.png"), 100);
    Tessel::String path;
    EXPECT_TRUE(store.AddCapture(path));
    EXPECT_EQ(std::string(path.CStr()), Narrow(missing + L"\\Glimpser 1.png"));
}

}  // namespace
