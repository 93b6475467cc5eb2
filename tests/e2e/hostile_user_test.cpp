// Settings edited by hand into every bad shape, history folders that cannot take a capture, and
// history files no capture looks like: the real program neither crashes nor hangs, never loses
// a capture without a word, and touches no file that is not a history file.
#include <cstdlib>
#include <cstring>
#include <functional>

#include "e2e/e2e_fixture.h"
#include "support/png_bytes.h"
#include "support/temp_folder.h"

namespace {
const wchar_t kDocumentsKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Captures a 400 × 300 region and answers the process's message box with No. Returns the
// box's text ("" when none came) after checking that the viewer shows the capture.
std::wstring CaptureAndAnswer(const wchar_t* arguments, bool expectMessage) {
    PatternWindow pattern;
    GlimpserProcess glimpser(arguments);
    EXPECT_NE(WaitForOverlay(glimpser), nullptr);
    Drag(100, 100, 499, 399);
    HWND viewer = WaitForViewer(glimpser);
    EXPECT_NE(viewer, nullptr);
    std::wstring text;
    if (HWND box = WaitForMessageBox(glimpser.Id(), expectMessage ? kWait : 1000)) {
        text = MessageBoxText(box);
        PostMessageW(box, WM_COMMAND, IDNO, 0);
        PumpMessagesUntil([](void* b) { return !IsWindow(static_cast<HWND>(b)); }, box, kWait);
        // One failure, one message.
        EXPECT_EQ(WaitForMessageBox(glimpser.Id(), 1000), nullptr);
    }
    RECT client{};
    GetClientRect(viewer, &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 300);
    EXPECT_EQ(CloseViewer(viewer, glimpser), 0);
    return text;
}

}  // namespace

// Run by unwritable_history.sh with a folder that is really read-only and one on a full disk.
TEST_F(EndToEnd, UnwritableHistoryKeepsTheCaptureAndNamesTheFile) {
    const char* folders = std::getenv("GLIMPSER_UNWRITABLE_FOLDERS");
    if (folders == nullptr) {
        GTEST_SKIP() << "needs the folders that unwritable_history.sh makes";
    }
    std::wstring list(folders, folders + std::strlen(folders));
    for (size_t start = 0; start < list.size();) {
        size_t end = list.find(L';', start);
        end = end == std::wstring::npos ? list.size() : end;
        const std::wstring folder = list.substr(start, end - start);
        start = end + 1;
        SCOPED_TRACE(std::string(folder.begin(), folder.end()));
        ResetUserState();
        WriteSettingString(L"HistoryFolder", folder);
        const std::wstring text = CaptureAndAnswer(L"/capture:region", true);
        EXPECT_NE(text.find(L"'" + folder + L"\\Glimpser 1.png' could not be written."),
                  std::wstring::npos);
        EXPECT_NE(text.find(L"Save it elsewhere?"), std::wstring::npos);
        // Neither a cut history file nor the temporary one is left behind.
        EXPECT_EQ(FilesMatching(folder + L"\\*Glimpser*"), std::vector<std::wstring>{});
    }
}

// One run per kind of bad input.
TEST_F(EndToEnd, HostileSettingsAndFilesNeitherCrashNorTouchOtherFiles) {
    const TempFolder scratch;
    const std::wstring history = HistoryFolder();
    const std::wstring other = history + L"\\notes.txt";
    const std::wstring folderFile = scratch / L"not a folder";
    const struct Case {
        const char* name;
        std::function<void()> setUp;
        const wchar_t* arguments;         // nullptr: "/open", walked back through the history
        const wchar_t* message;           // what the one message must hold; nullptr: no message
        std::vector<std::wstring> files;  // history files afterwards
        std::wstring untouched;           // a file that must keep its one byte
    } cases[] = {
        {"every setting of a wrong type or size",
         [] {
             const DWORD one = 1;
             const uint64_t wide = 7;
             WriteSettingRaw(L"IncludeCursor", REG_SZ, L"0", 4);
             WriteSettingRaw(L"SmoothStretch", REG_BINARY, &one, 4);
             WriteSettingRaw(L"LastSaveType", REG_QWORD, &wide, 8);
             WriteSettingRaw(L"HistoryFolder", REG_DWORD, &one, 4);
             WriteSettingRaw(L"ArchiveFolder", REG_MULTI_SZ, L"a\0", 6);
             WriteSettingRaw(L"MaxHistory", REG_SZ, L"0", 4);
             WriteSettingRaw(L"CaptureRegion", REG_DWORD_BIG_ENDIAN, &one, 4);
         },
         L"/capture:same",
         nullptr,
         {L"Glimpser 1.png"},
         L""},
        {"a region of 10,000 characters and an empty history folder",
         [] {
             WriteSettingString(L"CaptureRegion", std::wstring(10000, L'9'));
             WriteSettingString(L"HistoryFolder", L" ");
         },
         L"/capture:same",
         nullptr,
         {L"Glimpser 1.png"},
         L""},
        {"a history folder that is a file",
         [&] {
             WriteFileBytes(folderFile, {'x'});
             WriteSettingString(L"HistoryFolder", folderFile);
         },
         L"/capture:region",
         L"does not exist and could not be created.",
         {},
         folderFile},
        {"no history kept, beside a folder and a file that are not history files",
         [&] {
             WriteSettingDword(L"MaxHistory", 0);
             for (const wchar_t* name : {L"Glimpser 1.png", L"Glimpser 2.png"}) {
                 WriteFileBytes(history + L"\\" + name, {'p'});
             }
             WriteFileBytes(other, {'n'});
             CreateDirectoryW((history + L"\\Glimpser 5.png").c_str(), nullptr);
         },
         L"/capture:region",
         nullptr,
         {L"Glimpser 3.png"},
         other},
        {"history files of 0 bytes, 16 bits per channel and 30000 pixels square",
         [&] {
             PngImage deep;
             deep.width = deep.height = 2;
             deep.bitDepth = 16;
             deep.pixels.assign(2 * 2 * 6, 0x80);
             WriteFileBytes(history + L"\\Glimpser 1.png", EncodePng(deep));
             // One bit per pixel keeps the file at 112 MB; its sides are what matter.
             PngImage huge;
             huge.width = huge.height = 30000;
             huge.bitDepth = 1;
             huge.colorType = 0;
             huge.pixels.assign(size_t{30000} * 3750, 0x5A);
             WriteFileBytes(history + L"\\Glimpser 2.png", EncodePng(huge));
             WriteFileBytes(history + L"\\Glimpser 3.png", {});
             CreateDirectoryW((history + L"\\Glimpser 4.png").c_str(), nullptr);
         },
         nullptr,
         nullptr,
         {L"Glimpser 1.png", L"Glimpser 2.png", L"Glimpser 3.png"},
         L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetUserState();
        c.setUp();
        if (c.arguments) {
            const std::wstring text = CaptureAndAnswer(c.arguments, c.message != nullptr);
            EXPECT_EQ(text.empty(), c.message == nullptr);
            EXPECT_EQ(text.find(L"format"), std::wstring::npos);
            if (c.message) {
                EXPECT_NE(text.find(c.message), std::wstring::npos);
            }
        } else {
            GlimpserProcess glimpser(L"/open");
            HWND viewer = WaitForViewer(glimpser);
            ASSERT_NE(viewer, nullptr);
            for (int i = 0; i < 4; ++i) {
                SendMessageTimeoutW(viewer, WM_COMMAND, 32781, 0, SMTO_BLOCK, kWait, nullptr);
            }
            EXPECT_EQ(WaitForMessageBox(glimpser.Id(), 500), nullptr);
            EXPECT_EQ(CloseViewer(viewer, glimpser), 0);
        }
        EXPECT_EQ(HistoryFiles(), c.files);
        if (!c.untouched.empty()) {
            EXPECT_EQ(ReadFileBytes(c.untouched).size(), 1u);
        }
    }
    RemoveDirectoryW((history + L"\\Glimpser 4.png").c_str());
    RemoveDirectoryW((history + L"\\Glimpser 5.png").c_str());
    DeleteFileW(other.c_str());
}

// With no documents folder and no usable "HistoryFolder", the capture is still shown and one
// message names the folder problem.
TEST_F(EndToEnd, NoHistoryFolderAtAllStillShowsTheCaptureAndSaysWhy) {
    wchar_t saved[MAX_PATH] = L"";
    DWORD size = sizeof saved;
    DWORD type = REG_EXPAND_SZ;
    const bool had = RegGetValueW(HKEY_CURRENT_USER, kDocumentsKey, L"Personal",
                                  RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type, saved,
                                  &size) == ERROR_SUCCESS;
    RegSetKeyValueW(HKEY_CURRENT_USER, kDocumentsKey, L"Personal", REG_SZ, L"Q:\\No Documents",
                    sizeof L"Q:\\No Documents");
    WriteSettingString(L"HistoryFolder", L"");
    const std::wstring text = CaptureAndAnswer(L"/capture:region", true);
    if (had) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kDocumentsKey, L"Personal", type, saved, size);
    } else {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kDocumentsKey, L"Personal");
    }
    EXPECT_NE(text.find(L"There is no history folder"), std::wstring::npos)
        << std::string(text.begin(), text.end());
    EXPECT_TRUE(HistoryFiles().empty());
}
