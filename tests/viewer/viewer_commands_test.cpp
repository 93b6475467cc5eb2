// The viewer's commands over a real history folder, the clipboard, the save dialog seam and
// programs it starts.
#include <algorithm>
#include <string>
#include <vector>

#include "support/png_bytes.h"
#include "viewer/viewer_fixture.h"
#include "win/path_exists.h"

namespace {

Tessel::String savePath;
bool saveConfirmed = true;
bool AnswerSaveDialog(const char* extension, const COMDLG_FILTERSPEC*, uint32_t count,
                      int32_t& typeIndex, Tessel::String& path) {
    EXPECT_STREQ(extension, "png");
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(typeIndex, 1);  // nothing chosen before: the first type
    if (!saveConfirmed)
        return false;
    typeIndex = 3;
    path = savePath;
    return true;
}

// The text on the clipboard.
std::string ClipboardText() {
    std::string copied;
    if (OpenClipboard(nullptr)) {
        if (const HANDLE text = GetClipboardData(CF_UNICODETEXT)) {
            copied = ToUtf8(static_cast<const wchar_t*>(GlobalLock(text))).CStr();
            GlobalUnlock(text);
        }
        CloseClipboard();
    }
    return copied;
}

// The first length bytes of the file, waiting for a started program to write them.
std::string WaitForFile(const Tessel::String& path, size_t length) {
    const std::wstring file = WStr(ToWide(path));
    WaitFor([&] { return ReadFileBytes(file).size() >= length; }, 30000);
    const std::vector<uint8_t> bytes = ReadFileBytes(file);
    return std::string(bytes.begin(), bytes.begin() + std::min(bytes.size(), length));
}

}  // namespace

TEST_F(ViewerTest, FreshCapturePreviousNextAndDeleteWalkTheHistoryAndDeleteAllAsksFirst) {
    WriteHistoryFile(1);
    WriteHistoryFile(2);
    OpenViewer(MakeNoiseBitmap(33, 10));  // stored as the next file, 3
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
        EXPECT_TRUE(step.gone == 0 || !PathExists(HistoryPath(step.gone))) << step.command;
    }
    // Activation finds files that another viewer added meanwhile.
    WriteHistoryFile(4);
    SendMessageW(Window(), WM_ACTIVATE, WA_ACTIVE, 0);
    Command(ID_NEXT);
    EXPECT_STREQ(viewer->CurrentPath().CStr(), HistoryPath(4).CStr());
    for (int reply : {IDNO, IDYES}) {
        messages.Answer(reply);
        Command(ID_DELETE_ALL_HISTORY);
        EXPECT_EQ(messages.Take(),
                  (ShownMessages{{"Are you sure you want to delete all history files?",
                                  MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2}}));
        EXPECT_EQ(PathExists(HistoryPath(4)), reply == IDNO);
        EXPECT_EQ(viewer->Image() != nullptr, reply == IDNO);
    }
}

// The capture is shown before its file exists; a command that needs the file waits for the
// write, and a name that another process took meanwhile gives the capture the next number.
TEST_F(ViewerTest, AFreshCaptureIsShownAtOnceAndCommandsThatNeedItsFileWaitForTheWrite) {
    WriteHistoryFile(1);
    const struct {
        WORD command;
        bool nameTaken;  // another process writes the chosen name during the write
        int stored;      // the capture's number
        int shown;       // the file current afterwards
    } steps[] = {{ID_COPY_PATH, true, 3, 3}, {ID_NEXT, false, 4, 4}, {ID_DELETE, false, 5, 4}};
    viewer = std::make_unique<CMainWindow>();
    for (const auto& step : steps) {
        SCOPED_TRACE(step.stored);
        // Noise of this size takes a while to encode.
        viewer->SetImage(MakeNoiseBitmap(3000, 2000));
        if (viewer->hwnd) {
            viewer->StoreCapture();  // as a capture taken again from the viewer
        } else {
            CreateViewerWindow();
        }
        EXPECT_TRUE(IsWindowVisible(Window()));
        EXPECT_TRUE(viewer->Storing());
        EXPECT_STREQ(viewer->CurrentPath().CStr(), "");
        if (step.nameTaken) {
            ASSERT_TRUE(WriteFileBytes(WStr(ToWide(HistoryPath(step.stored - 1))), {'x'}));
        }
        Command(step.command);
        EXPECT_STREQ(viewer->CurrentPath().CStr(), HistoryPath(step.shown).CStr());
        EXPECT_EQ(PathExists(HistoryPath(step.stored)), step.command != ID_DELETE);
    }
    EXPECT_EQ(ClipboardText(), HistoryPath(3).CStr());
    EXPECT_EQ(ReadFileBytes(WStr(ToWide(HistoryPath(2)))).size(), 1u);
    Command(ID_PREVIOUS);  // the moved file is whole
    EXPECT_STREQ(viewer->CurrentPath().CStr(), HistoryPath(3).CStr());
    EXPECT_EQ(BitmapSize(viewer->Image()).cx, 3000);
}

// Save As writes a copy that does not join the history: Copy Path still names the history file.
TEST_F(ViewerTest, CopySaveAsAndCopyPathCarryTheImageOutAndClosingKeepsTypeAndSmoothing) {
    OpenViewer(MakeNoiseBitmap(37, 21));
    const std::vector<uint32_t> expected = BitmapPixels(viewer->Image());
    // The test display runs at 96 DPI, so Copy at 96dpi is an exact copy too.
    for (WORD command : {ID_COPY, ID_COPY_96DPI}) {
        Command(command);
        ASSERT_TRUE(OpenClipboard(nullptr));
        HBITMAP copy = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        EXPECT_EQ(BitmapSize(copy).cx, 37) << command;
        EXPECT_TRUE(BitmapPixels(copy) == expected) << command;
        CloseClipboard();
    }
    savePath = Tessel::Format("%s\\saved copy.bmp", folder.CStr());
    SaveDialogHook previous = SetSaveDialogHookForTesting(&AnswerSaveDialog);
    Command(ID_SAVE_AS);
    SetSaveDialogHookForTesting(previous);
    EXPECT_EQ(WaitForFile(savePath, 2), "BM");
    Command(ID_COPY_PATH);
    EXPECT_EQ(ClipboardText(), HistoryPath(1).CStr());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
    Command(ID_SMOOTH_ENABLED);
    CloseViewer();
    EXPECT_EQ(GetSettingInt("Settings", "LastSaveType", 0), 3);
    EXPECT_EQ(GetSettingInt("Settings", "SmoothStretch", -1), 1);
}

// A fresh capture that gets no history file stays shown, with no current path for Copy Path
// or Delete to act on; one message says why, naming the folder, and Yes opens Save As. (A
// folder that cannot be made is the end-to-end hostile-user run's.)
TEST_F(ViewerTest, ACaptureThatCannotBeStoredStaysShownAndOffersSaveAs) {
    ASSERT_TRUE(WriteFileBytes(WStr(ToWide(HistoryPath(2147483646))), {'x'}));
    messages.Answer(IDYES);
    savePath = Tessel::Format("%s\\rescued.bmp", folder.CStr());
    const SaveDialogHook previous = SetSaveDialogHookForTesting(&AnswerSaveDialog);
    OpenViewer(MakeNoiseBitmap(20, 10));
    SetSaveDialogHookForTesting(previous);
    EXPECT_EQ(messages.Take(),
              (ShownMessages{{"No file number is left in the history folder '" +
                                  std::string(folder.CStr()) +
                                  "'.\n\nThe capture is still shown here.  Save it elsewhere?",
                              MB_YESNO | MB_ICONERROR}}));
    EXPECT_EQ(BitmapSize(viewer->Image()).cx, 20);
    EXPECT_STREQ(viewer->CurrentPath().CStr(), "");
    EXPECT_EQ(WaitForFile(savePath, 2), "BM");
}

// After the store failed and Save As was declined, every command that would drop the capture
// asks first: Cancel, or a Save As that is cancelled, keeps it; No lets the command go on, as
// does a Save As that wrote the file. Closing the window is run end to end.
TEST_F(ViewerTest, AnUnsavedCaptureIsOnlyDroppedAfterTheUserSaidSo) {
    const Tessel::String full = HistoryPath(2147483646);
    ASSERT_TRUE(WriteFileBytes(WStr(ToWide(full)), {'x'}));
    savePath = Tessel::Format("%s\\kept.bmp", folder.CStr());
    const ShownMessages question{
        {"The capture shown here is in no file.  Save it first?", MB_YESNOCANCEL | MB_ICONWARNING}};
    const struct {
        std::vector<WORD> commands;
        int answer;
        bool saved;  // the Save As dialog, if it comes, confirms
        bool kept;
        ShownMessages shown;
    } rows[] = {
        {{ID_CAPTURE_REGION}, IDCANCEL, true, true, question},
        {{ID_NEXT}, IDNO, true, false, question},
        {{ID_NEXT}, IDYES, false, true, question},
        {{ID_DELETE}, IDCANCEL, true, true, question},
        {{ID_DELETE_ALL_HISTORY},
         IDNO,
         true,
         true,
         {question[0],
          {"Are you sure you want to delete all history files?",
           MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2}}},
        {{ID_DELETE}, IDYES, true, false, question},
        {{ID_SAVE_AS, ID_PREVIOUS}, IDCANCEL, true, false, {}},
    };
    const SaveDialogHook previous = SetSaveDialogHookForTesting(&AnswerSaveDialog);
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        DeleteFileW(WStr(ToWide(savePath)));
        SetSettingInt("Settings", "LastSaveType", 0);
        saveConfirmed = row.saved;
        messages.Answer(IDNO);
        OpenViewer(MakeNoiseBitmap(20, 10));
        EXPECT_EQ(messages.Take().size(), 1u) << "the store's failure";
        messages.Answer(row.answer);
        for (WORD command : row.commands)
            Command(command);
        EXPECT_EQ(messages.Take(), row.shown);
        EXPECT_EQ(BitmapSize(viewer->Image()).cx, row.kept ? 20 : 0);
        EXPECT_STREQ(viewer->CurrentPath().CStr(), row.kept ? "" : full.CStr());
        const bool asked = row.answer == IDYES || row.commands[0] == ID_SAVE_AS;
        EXPECT_EQ(PathExists(savePath), row.saved && asked);
        EXPECT_TRUE(PathExists(full));
        CloseViewer();
    }
    SetSaveDialogHookForTesting(previous);
    saveConfirmed = true;
}

// Open With fills in the image path; LaunchCommandLine hands a line longer than MAX_PATH over
// whole, and starts nothing for one longer than a command line can be or naming no program.
TEST_F(ViewerTest, OpenWithStartsTheRegisteredCommandWithTheImagePath) {
    const Tessel::String output = Tessel::Format("%s\\opened.txt", folder.CStr());
    const Tessel::WString command =
        ToWide(Tessel::Format("cmd.exe /c echo [%%1]> \"%s\"", output.CStr()));
    RegSetKeyValueW(HKEY_CLASSES_ROOT, L".png\\OpenWithProgids", L"GlimpserTest.Echo", REG_SZ, L"",
                    sizeof(wchar_t));
    RegSetKeyValueW(HKEY_CLASSES_ROOT, L"GlimpserTest.Echo\\shell\\open\\command", nullptr, REG_SZ,
                    WStr(command), static_cast<DWORD>((command.Length() + 1) * sizeof(wchar_t)));
    OpenViewer(MakeNoiseBitmap(20, 10));
    ScopedMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU)));
    HMENU popup = GetSubMenu(menu.Get(), MENU_POPUP_CONTEXT);
    viewer->PrepareContextMenu(popup);  // lists the programs the commands stand for
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(popup, MENU_POS_OPEN_WITH)), 1);
    Command(ID_OPEN_WITH_FIRST);
    const std::string expected = "[" + std::string(HistoryPath(1).CStr()) + "]";
    EXPECT_EQ(WaitForFile(output, expected.size()), expected);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"GlimpserTest.Echo");
    RegDeleteKeyValueW(HKEY_CLASSES_ROOT, L".png\\OpenWithProgids", L"GlimpserTest.Echo");

    const Tessel::String marker = Tessel::Format("%s\\launched.txt", folder.CStr());
    const std::string echoed(300, 'x');
    ASSERT_TRUE(CMainWindow::LaunchCommandLine(
        Tessel::Format("cmd.exe /c echo %s> \"%s\"", echoed.c_str(), marker.CStr())));
    EXPECT_EQ(WaitForFile(marker, 300), echoed);
    const std::string huge = "cmd.exe /c rem " + std::string(40000, 'y');
    EXPECT_FALSE(CMainWindow::LaunchCommandLine(Tessel::String(huge.c_str())));
    EXPECT_FALSE(CMainWindow::LaunchCommandLine(Tessel::String("no-such-program-here.exe")));
}
