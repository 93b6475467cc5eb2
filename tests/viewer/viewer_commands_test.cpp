// The viewer's commands over a real history folder, the clipboard, the save dialog seam and
// programs it starts.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "imaging/image_saving.h"
#include "support/bitmap_pixels.h"
#include "support/png_bytes.h"
#include "tessel/format.h"
#include "viewer/viewer_fixture.h"
#include "win/command_ids.h"
#include "win/settings.h"
#include "win/show_message.h"
#include "win/win_text.h"

namespace {

uint32_t Stripes(int x, int y) {
    return (x % 3 == 0) ? 0xFF2040u : static_cast<uint32_t>(y) * 3;
}

int answer = IDNO;
Tessel::String question;
int Answer(const Tessel::String& text, uint32_t flags) {
    question = text;
    EXPECT_EQ(flags, static_cast<uint32_t>(MB_YESNO | MB_ICONQUESTION));
    return answer;
}

Tessel::String savePath;
bool AnswerSaveDialog(const char* extension, const COMDLG_FILTERSPEC*, uint32_t count,
                      int32_t& typeIndex, Tessel::String& path) {
    EXPECT_STREQ(extension, "png");
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(typeIndex, 1);  // nothing chosen before: the first type
    typeIndex = 3;
    path = savePath;
    return true;
}

// The first length bytes of the file, waiting for a started program to write them.
Tessel::String WaitForFile(const Tessel::String& path, int length) {
    std::string bytes(static_cast<size_t>(length), '\0');
    size_t read = 0;
    for (int waited = 0; waited < 30000 && read < bytes.size(); waited += 50) {
        Sleep(50);
        if (FILE* file = _wfopen(WStr(ToWide(path)), L"rb")) {
            read = fread(bytes.data(), 1, bytes.size(), file);
            fclose(file);
        }
    }
    return Tessel::String(bytes.data(), static_cast<int>(read));
}

}  // namespace

TEST_F(ViewerTest, FreshCapturePreviousNextAndDeleteWalkTheHistory) {
    WriteHistoryFile(1);
    WriteHistoryFile(2);
    OpenViewer(MakeBitmap(33, 10, Stripes));  // stored as the next file, 3
    // Next at the newest and Previous at the oldest change nothing. Delete shows the older
    // neighbour; deleting the oldest empties the view though a newer file exists; with nothing
    // shown Delete does nothing.
    struct Step {
        WORD command;
        int shown;  // file number, 0 for none
        int gone;   // file number deleted by now, 0 for none
    } steps[] = {{0, 3, 0},           {ID_NEXT, 3, 0}, {ID_PREVIOUS, 2, 0}, {ID_PREVIOUS, 1, 0},
                 {ID_PREVIOUS, 1, 0}, {ID_NEXT, 2, 0}, {ID_DELETE, 1, 2},   {ID_DELETE, 0, 1},
                 {ID_DELETE, 0, 0},   {ID_NEXT, 3, 0}};
    for (const Step& step : steps) {
        if (step.command) {
            Command(step.command);
        }
        Tessel::String expected = step.shown ? HistoryPath(step.shown) : Tessel::String();
        EXPECT_STREQ(viewer->CurrentPath().CStr(), expected.CStr()) << step.command;
        EXPECT_EQ(BitmapSize(viewer->Image()).cx, 11 * step.shown) << step.command;
        EXPECT_TRUE(step.gone == 0 || !FileExists(HistoryPath(step.gone))) << step.command;
    }
    // Activation finds files that another viewer added meanwhile.
    WriteHistoryFile(4);
    SendMessageW(Window(), WM_ACTIVATE, WA_ACTIVE, 0);
    Command(ID_NEXT);
    EXPECT_STREQ(viewer->CurrentPath().CStr(), HistoryPath(4).CStr());
}

TEST_F(ViewerTest, DeleteAllHistoryAsksFirst) {
    WriteHistoryFile(1);
    OpenViewer();
    SetMessageHookForTesting(&Answer);
    for (int reply : {IDNO, IDYES}) {
        answer = reply;
        question = Tessel::String();
        Command(ID_DELETE_ALL_HISTORY);
        EXPECT_STREQ(question.CStr(), "Are you sure you want to delete all history files?");
        EXPECT_EQ(FileExists(HistoryPath(1)), reply == IDNO);
        EXPECT_EQ(viewer->Image() != nullptr, reply == IDNO);
    }
}

TEST_F(ViewerTest, CopyPutsTheImageAndCopyPathTheTextOnTheClipboard) {
    OpenViewer(MakeBitmap(37, 21, Stripes));
    std::vector<uint32_t> expected;
    for (int i = 0; i < 37 * 21; ++i) {
        expected.push_back(Stripes(i % 37, i / 37));
    }
    // The test display runs at 96 DPI, so Copy at 96dpi is an exact copy too.
    for (WORD command : {ID_COPY, ID_COPY_96DPI}) {
        Command(command);
        ASSERT_TRUE(OpenClipboard(nullptr));
        HBITMAP copy = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        EXPECT_EQ(BitmapSize(copy).cx, 37) << command;
        EXPECT_EQ(BitmapSize(copy).cy, 21) << command;
        EXPECT_TRUE(BitmapPixels(copy) == expected) << command;
        CloseClipboard();
    }
    Command(ID_COPY_PATH);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE text = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(text, nullptr);
    Tessel::String path = ToUtf8(static_cast<const wchar_t*>(GlobalLock(text)));
    GlobalUnlock(text);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
    CloseClipboard();
    EXPECT_STREQ(path.CStr(), HistoryPath(1).CStr());
}

TEST_F(ViewerTest, SaveAsWritesTheChosenFormatAndClosingKeepsTypeAndSmoothing) {
    OpenViewer(MakeBitmap(20, 10, Stripes));
    savePath = Tessel::Format("%s\\saved copy.bmp", folder.CStr());
    SaveDialogHook previous = SetSaveDialogHookForTesting(&AnswerSaveDialog);
    Command(ID_SAVE_AS);
    SetSaveDialogHookForTesting(previous);
    EXPECT_STREQ(WaitForFile(savePath, 2).CStr(), "BM");
    // The saved copy is not part of the history.
    EXPECT_STREQ(viewer->CurrentPath().CStr(), HistoryPath(1).CStr());
    Command(ID_SMOOTH_ENABLED);
    CloseViewer();
    EXPECT_EQ(GetSettingInt("Settings", "LastSaveType", 0), 3);
    EXPECT_EQ(GetSettingInt("Settings", "SmoothStretch", -1), 1);
}

// A fresh capture that gets no history file stays shown, with no current path for Copy Path
// or Delete to act on; one message says why, naming the folder, and Yes opens Save As.
TEST_F(ViewerTest, ACaptureThatCannotBeStoredStaysShownAndOffersSaveAs) {
    static std::vector<std::pair<std::string, uint32_t>> shown;
    const Tessel::String full = Tessel::Format("%s\\full", folder.CStr());
    CreateDirectoryW(WStr(ToWide(full)), nullptr);
    ASSERT_TRUE(WriteFileBytes(
        WStr(ToWide(Tessel::Format("%s\\Glimpser 2147483646.png", full.CStr()))), {'x'}));
    const struct {
        Tessel::String history;
        std::string expected;
    } cases[] = {
        {Tessel::String("Q:\\Nowhere"),
         "The history folder 'Q:\\Nowhere' does not exist and could not be created."},
        {full, "No file number is left in the history folder '" + std::string(full.CStr()) + "'."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.history.CStr());
        shown.clear();
        SetSettingString("Settings", "HistoryFolder", c.history);
        SetSettingInt("Settings", "LastSaveType", 0);
        SetMessageHookForTesting([](const Tessel::String& text, uint32_t flags) {
            shown.emplace_back(text.CStr(), flags);
            return IDYES;
        });
        savePath = Tessel::Format("%s\\rescued.bmp", folder.CStr());
        DeleteFileW(WStr(ToWide(savePath)));
        const SaveDialogHook previous = SetSaveDialogHookForTesting(&AnswerSaveDialog);
        OpenViewer(MakeBitmap(20, 10, Stripes));
        SetSaveDialogHookForTesting(previous);
        EXPECT_EQ((shown), (std::vector<std::pair<std::string, uint32_t>>{
                               {c.expected + "\n\nThe capture is still shown here.  Save it "
                                             "elsewhere?",
                                MB_YESNO | MB_ICONERROR}}));
        EXPECT_EQ(BitmapSize(viewer->Image()).cx, 20);
        EXPECT_STREQ(viewer->CurrentPath().CStr(), "");
        EXPECT_STREQ(WaitForFile(savePath, 2).CStr(), "BM");
        CloseViewer();
    }
}

TEST_F(ViewerTest, LaunchCommandLineStartsLongLinesAndRefusesOversizedOnes) {
    // Longer than MAX_PATH: the whole line reaches the program.
    Tessel::String marker = Tessel::Format("%s\\launched.txt", folder.CStr());
    std::string echoed(300, 'x');
    ASSERT_TRUE(CMainWindow::LaunchCommandLine(
        Tessel::Format("cmd.exe /c echo %s> \"%s\"", echoed.c_str(), marker.CStr())));
    EXPECT_STREQ(WaitForFile(marker, 300).CStr(), echoed.c_str());
    std::string huge = "cmd.exe /c rem " + std::string(40000, 'y');
    EXPECT_FALSE(CMainWindow::LaunchCommandLine(Tessel::String(huge.c_str())));
    EXPECT_FALSE(CMainWindow::LaunchCommandLine(Tessel::String("no-such-program-here.exe")));
}

TEST_F(ViewerTest, OpenWithStartsTheRegisteredCommandWithTheImagePath) {
    Tessel::String output = Tessel::Format("%s\\opened.txt", folder.CStr());
    Tessel::WString command =
        ToWide(Tessel::Format("cmd.exe /c echo [%%1]> \"%s\"", output.CStr()));
    RegSetKeyValueW(HKEY_CLASSES_ROOT, L".png\\OpenWithProgids", L"GlimpserTest.Echo", REG_SZ, L"",
                    sizeof(wchar_t));
    RegSetKeyValueW(HKEY_CLASSES_ROOT, L"GlimpserTest.Echo\\shell\\open\\command", nullptr, REG_SZ,
                    WStr(command), static_cast<DWORD>((command.Length() + 1) * sizeof(wchar_t)));
    OpenViewer(MakeBitmap(20, 10, Stripes));
    ScopedMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU)));
    HMENU popup = GetSubMenu(menu.Get(), MENU_POPUP_CONTEXT);
    viewer->PrepareContextMenu(popup);  // lists the programs the commands stand for
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(popup, MENU_POS_OPEN_WITH)), 1);
    Command(ID_OPEN_WITH_FIRST);
    Tessel::String expected = Tessel::Format("[%s]", HistoryPath(1).CStr());
    EXPECT_STREQ(WaitForFile(output, expected.Length()).CStr(), expected.CStr());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"GlimpserTest.Echo");
    RegDeleteKeyValueW(HKEY_CLASSES_ROOT, L".png\\OpenWithProgids", L"GlimpserTest.Echo");
}
