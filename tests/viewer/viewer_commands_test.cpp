// The viewer's commands over a real history folder, the clipboard and the save dialog seam.
#include <cstdio>
#include <cstring>

#include "app/command_ids.h"
#include "app/scoped_win.h"
#include "app/settings.h"
#include "app/win_text.h"
#include "history/image_saving.h"
#include "history/show_message.h"
#include "support/input.h"
#include "tessel/format.h"
#include "tessel/string_builder.h"
#include "viewer/viewer_fixture.h"

namespace {

uint32_t Stripes(int x, int y) {
    return (x % 3 == 0) ? 0xFF2040u : static_cast<uint32_t>(y) * 3;
}

int answer = IDNO;
int questions = 0;
Tessel::String question;
int Answer(const Tessel::String& text, uint32_t flags) {
    ++questions;
    question = text;
    EXPECT_EQ(flags, static_cast<uint32_t>(MB_YESNO | MB_ICONQUESTION));
    return answer;
}

Tessel::String savePath;
int32_t shownSaveType = 0;
bool AnswerSaveDialog(const char* extension, const COMDLG_FILTERSPEC* types, uint32_t count,
                      int32_t& typeIndex, Tessel::String& path) {
    EXPECT_STREQ(extension, "png");
    EXPECT_EQ(count, 3u);
    EXPECT_STREQ(types[1].pszName, L"JPEG Image");
    EXPECT_STREQ(types[1].pszSpec, L"*.jpg;*.jpeg");
    shownSaveType = typeIndex;
    typeIndex = 3;
    path = savePath;
    return true;
}

Tessel::String ReadFileStart(const Tessel::String& path, size_t count) {
    FILE* file = _wfopen(WStr(ToWide(path)), L"rb");
    if (!file) {
        return Tessel::String();
    }
    char bytes[512]{};
    size_t read = fread(bytes, 1, count < sizeof bytes ? count : sizeof bytes, file);
    fclose(file);
    return Tessel::String(bytes, static_cast<int>(read));
}

bool EndsWith(const Tessel::String& text, const char* tail) {
    int n = static_cast<int>(std::strlen(tail));
    return text.Length() >= n && std::strcmp(text.CStr() + text.Length() - n, tail) == 0;
}

}  // namespace

TEST_F(ViewerTest, FreshCaptureBecomesTheNextHistoryFile) {
    WriteHistoryFile(4, 10, 10);
    OpenViewer(MakeBitmap(64, 48, Stripes));
    EXPECT_STREQ(viewer->CurrentPath().CStr(), HistoryPath(5).CStr());
    EXPECT_TRUE(FileExists(HistoryPath(5)));
    EXPECT_STREQ(Title().CStr(), "Glimpser (100%)");
}

TEST_F(ViewerTest, PreviousNextAndDeleteWalkTheHistory) {
    WriteHistoryFile(1, 11, 11);
    WriteHistoryFile(2, 22, 22);
    WriteHistoryFile(3, 33, 33);
    OpenViewer();  // shows the newest file
    EXPECT_STREQ(viewer->CurrentPath().CStr(), HistoryPath(3).CStr());
    EXPECT_EQ(ShownImageSize().cx, 33);

    struct Step {
        WORD command;
        int shown;  // file number, 0 for none
        int size;
    } steps[] = {
        {ID_NEXT, 3, 33},      // newest: Next changes nothing
        {ID_PREVIOUS, 2, 22},  //
        {ID_PREVIOUS, 1, 11},  //
        {ID_PREVIOUS, 1, 11},  // oldest: Previous changes nothing
        {ID_NEXT, 2, 22},
    };
    for (const Step& step : steps) {
        Command(step.command);
        EXPECT_STREQ(viewer->CurrentPath().CStr(), HistoryPath(step.shown).CStr()) << step.command;
        EXPECT_EQ(ShownImageSize().cx, step.size) << step.command;
    }

    // Deleting 2 shows its older neighbour.
    Command(ID_DELETE);
    EXPECT_FALSE(FileExists(HistoryPath(2)));
    EXPECT_STREQ(viewer->CurrentPath().CStr(), HistoryPath(1).CStr());
    EXPECT_EQ(ShownImageSize().cx, 11);

    // Deleting the oldest empties the view, even though a newer file exists.
    Command(ID_DELETE);
    EXPECT_FALSE(FileExists(HistoryPath(1)));
    EXPECT_TRUE(viewer->CurrentPath().IsEmpty());
    EXPECT_EQ(viewer->Image(), nullptr);
    EXPECT_TRUE(FileExists(HistoryPath(3)));

    // With nothing shown, Delete does nothing and Next reaches the oldest file left.
    Command(ID_DELETE);
    EXPECT_TRUE(FileExists(HistoryPath(3)));
    Command(ID_NEXT);
    EXPECT_STREQ(viewer->CurrentPath().CStr(), HistoryPath(3).CStr());
}

TEST_F(ViewerTest, ActivationFindsFilesAnotherViewerAdded) {
    WriteHistoryFile(1, 11, 11);
    OpenViewer();
    EXPECT_STREQ(viewer->CurrentPath().CStr(), HistoryPath(1).CStr());
    WriteHistoryFile(2, 22, 22);
    SendMessageW(Window(), WM_ACTIVATE, WA_ACTIVE, 0);
    Command(ID_NEXT);
    EXPECT_STREQ(viewer->CurrentPath().CStr(), HistoryPath(2).CStr());
}

TEST_F(ViewerTest, DeleteAllHistoryAsksFirst) {
    WriteHistoryFile(1, 11, 11);
    WriteHistoryFile(2, 22, 22);
    OpenViewer();
    SetMessageHookForTesting(&Answer);
    questions = 0;

    answer = IDNO;
    Command(ID_DELETE_ALL_HISTORY);
    EXPECT_EQ(questions, 1);
    EXPECT_STREQ(question.CStr(), "Are you sure you want to delete all history files?");
    EXPECT_TRUE(FileExists(HistoryPath(1)));
    EXPECT_TRUE(FileExists(HistoryPath(2)));
    EXPECT_NE(viewer->Image(), nullptr);

    answer = IDYES;
    Command(ID_DELETE_ALL_HISTORY);
    EXPECT_EQ(questions, 2);
    EXPECT_FALSE(FileExists(HistoryPath(1)));
    EXPECT_FALSE(FileExists(HistoryPath(2)));
    EXPECT_EQ(viewer->Image(), nullptr);
    EXPECT_TRUE(viewer->CurrentPath().IsEmpty());
}

TEST_F(ViewerTest, CopyPutsTheImageAndCopyPathTheTextOnTheClipboard) {
    OpenViewer(MakeBitmap(37, 21, Stripes));
    for (WORD command : {ID_COPY, ID_COPY_96DPI}) {
        Command(command);
        ASSERT_TRUE(OpenClipboard(nullptr));
        HBITMAP copy = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
        ASSERT_NE(copy, nullptr) << command;
        // The test display runs at 96 DPI, so Copy at 96dpi is an exact copy too.
        Pixels pixels = ReadBitmap(copy);
        CloseClipboard();
        EXPECT_EQ(pixels.width, 37) << command;
        EXPECT_EQ(pixels.height, 21) << command;
        int wrong = 0;
        for (int y = 0; y < 21; ++y) {
            for (int x = 0; x < 37; ++x) {
                wrong += pixels.At(x, y) != Stripes(x, y);
            }
        }
        EXPECT_EQ(wrong, 0) << command;
    }

    Command(ID_COPY_PATH);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE text = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(text, nullptr);
    Tessel::String path = ToUtf8(static_cast<const wchar_t*>(GlobalLock(text)));
    GlobalUnlock(text);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
    CloseClipboard();
    EXPECT_STREQ(path.CStr(), viewer->CurrentPath().CStr());
    EXPECT_TRUE(EndsWith(path, "\\Glimpser 1.png"));
}

TEST_F(ViewerTest, CopyWithoutAnImageLeavesTheClipboardAlone) {
    OpenViewer();
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const wchar_t kept[] = L"kept";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof kept);
    std::memcpy(GlobalLock(memory), kept, sizeof kept);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();

    Command(ID_COPY);
    Command(ID_COPY_PATH);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE text = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(static_cast<const wchar_t*>(GlobalLock(text)), L"kept");
    GlobalUnlock(text);
    CloseClipboard();
}

TEST_F(ViewerTest, SaveAsWritesTheChosenFormatAndRemembersTheType) {
    OpenViewer(MakeBitmap(20, 10, Stripes));
    savePath = Tessel::Format("%s\\saved copy.bmp", folder.CStr());
    SaveDialogHook previous = SetSaveDialogHookForTesting(&AnswerSaveDialog);
    Command(ID_SAVE_AS);
    SetSaveDialogHookForTesting(previous);
    EXPECT_EQ(shownSaveType, 1);  // nothing chosen before: the first type
    EXPECT_STREQ(ReadFileStart(savePath, 2).CStr(), "BM");
    // The saved copy is not part of the history.
    EXPECT_STREQ(viewer->CurrentPath().CStr(), HistoryPath(1).CStr());
    CloseViewer();
    EXPECT_EQ(GetSettingInt("Settings", "LastSaveType", 0), 3);
    DeleteFileW(WStr(ToWide(savePath)));
}

TEST_F(ViewerTest, IncludeCursorTogglesTheSharedSetting) {
    OpenViewer();
    Command(ID_INCLUDE_CURSOR);
    EXPECT_EQ(GetSettingInt("Settings", "IncludeCursor", -1), 0);
    Command(ID_INCLUDE_CURSOR);
    EXPECT_EQ(GetSettingInt("Settings", "IncludeCursor", -1), 1);
}

TEST_F(ViewerTest, ContextMenuShowsModesCursorAndSameRegionState) {
    SetSettingInt("Settings", "SmoothStretch", 7);  // set by hand: paints like Disabled
    SetSettingInt("Settings", "IncludeCursor", 0);
    OpenViewer();
    auto state = [](HMENU popup, UINT id) { return GetMenuState(popup, id, MF_BYCOMMAND); };
    {
        ScopedMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU)));
        HMENU popup = GetSubMenu(menu.Get(), MENU_POPUP_CONTEXT);
        ASSERT_NE(popup, nullptr);
        viewer->PrepareContextMenu(popup);
        EXPECT_TRUE(state(popup, ID_SMOOTH_DISABLED) & MF_CHECKED);
        EXPECT_FALSE(state(popup, ID_NEXT) & MF_CHECKED);
        EXPECT_FALSE(state(popup, ID_INCLUDE_CURSOR) & MF_CHECKED);
        for (UINT id : {ID_CAPTURE_SAME, ID_CAPTURE_SAME_DELAY5, ID_CAPTURE_SAME_DELAY15}) {
            EXPECT_TRUE(state(popup, id) & MF_GRAYED) << id;
        }
        // The placeholder of "Open &With" is gone whatever the registry offers.
        HMENU openWith = GetSubMenu(popup, MENU_POS_OPEN_WITH);
        EXPECT_EQ(GetMenuState(openWith, ID_OPEN_WITH_FIRST, MF_BYCOMMAND) & MF_STRING, 0u);
        wchar_t text[64]{};
        for (int i = 0; i < GetMenuItemCount(openWith); ++i) {
            GetMenuStringW(openWith, i, text, 64, MF_BYPOSITION);
            EXPECT_STRNE(text, L"<placeholder>");
        }
    }
    viewer->TakeCaptureRegion(Rect{10, 20, 110, 70});
    EXPECT_STREQ(GetSettingString("Settings", "CaptureRegion", Tessel::String()).CStr(),
                 "10,20,110,70");
    SetSettingInt("Settings", "IncludeCursor", 1);
    Command(ID_SMOOTH_ENABLED);
    {
        ScopedMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU)));
        HMENU popup = GetSubMenu(menu.Get(), MENU_POPUP_CONTEXT);
        viewer->PrepareContextMenu(popup);
        EXPECT_TRUE(state(popup, ID_SMOOTH_ENABLED) & MF_CHECKED);
        EXPECT_TRUE(state(popup, ID_INCLUDE_CURSOR) & MF_CHECKED);
        for (UINT id : {ID_CAPTURE_SAME, ID_CAPTURE_SAME_DELAY5, ID_CAPTURE_SAME_DELAY15}) {
            EXPECT_FALSE(state(popup, id) & MF_GRAYED) << id;
        }
    }
}

TEST_F(ViewerTest, LaunchCommandLineStartsLongLinesAndRefusesOversizedOnes) {
    // Longer than MAX_PATH: the whole line reaches the program.
    Tessel::String marker = Tessel::Format("%s\\launched.txt", folder.CStr());
    char padding[301];
    std::memset(padding, 'x', 300);
    padding[300] = 0;
    Tessel::String line = Tessel::Format("cmd.exe /c echo %s> \"%s\"", padding, marker.CStr());
    ASSERT_GT(line.Length(), 260);
    ASSERT_TRUE(CMainWindow::LaunchCommandLine(line));
    bool arrived = false;
    for (int waited = 0; waited < 30000 && !arrived; waited += 50) {
        Sleep(50);
        arrived = ReadFileStart(marker, 4).Length() == 4;
    }
    ASSERT_TRUE(arrived);
    EXPECT_STREQ(ReadFileStart(marker, 4).CStr(), "xxxx");

    Tessel::StringBuilder<char> huge;
    huge.Append("cmd.exe /c rem ");
    for (int i = 0; i < 40000; ++i) {
        huge.Write('y');
    }
    EXPECT_FALSE(CMainWindow::LaunchCommandLine(huge.ToString()));
    EXPECT_FALSE(CMainWindow::LaunchCommandLine(Tessel::String("no-such-program-here.exe")));
}

TEST_F(ViewerTest, OpenWithStartsTheRegisteredCommandWithTheImagePath) {
    Tessel::String output = Tessel::Format("%s\\opened.txt", folder.CStr());
    Tessel::String command = Tessel::Format("cmd.exe /c echo [%%1]> \"%s\"", output.CStr());
    RegSetKeyValueW(HKEY_CLASSES_ROOT, L".png\\OpenWithProgids", L"GlimpserTest.Echo", REG_SZ, L"",
                    sizeof(wchar_t));
    Tessel::WString wideCommand = ToWide(command);
    RegSetKeyValueW(HKEY_CLASSES_ROOT, L"GlimpserTest.Echo\\shell\\open\\command", nullptr, REG_SZ,
                    WStr(wideCommand),
                    static_cast<DWORD>((wideCommand.Length() + 1) * sizeof(wchar_t)));
    OpenViewer(MakeBitmap(20, 10, Stripes));
    {
        ScopedMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU)));
        HMENU popup = GetSubMenu(menu.Get(), MENU_POPUP_CONTEXT);
        viewer->PrepareContextMenu(popup);
        HMENU openWith = GetSubMenu(popup, MENU_POS_OPEN_WITH);
        ASSERT_EQ(GetMenuItemCount(openWith), 1);
        EXPECT_EQ(GetMenuItemID(openWith, 0), static_cast<UINT>(ID_OPEN_WITH_FIRST));
    }
    Command(ID_OPEN_WITH_FIRST + 1);  // no such entry: nothing starts
    Command(ID_OPEN_WITH_FIRST);
    Tessel::String expected = Tessel::Format("[%s]", viewer->CurrentPath().CStr());
    Tessel::String written;
    for (int waited = 0; waited < 30000 && written.Length() < expected.Length(); waited += 50) {
        Sleep(50);
        written = ReadFileStart(output, static_cast<size_t>(expected.Length()));
    }
    EXPECT_STREQ(written.CStr(), expected.CStr());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"GlimpserTest.Echo");
    RegDeleteKeyValueW(HKEY_CLASSES_ROOT, L".png\\OpenWithProgids", L"GlimpserTest.Echo");
}

TEST_F(ViewerTest, AcceleratorsTranslateOnlyTheirKeys) {
    OpenViewer(MakeBitmap(20, 10, Stripes));
    auto pretranslate = [this](WPARAM key, bool control) {
        BYTE keys[256]{};
        keys[VK_CONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG msg{Window(), WM_KEYDOWN, key, 0, 0, {0, 0}};
        LRESULT answer =
            SendMessageW(Window(), WM_MODAL_PRETRANSLATE, 0, reinterpret_cast<LPARAM>(&msg));
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
        return answer;
    };
    EXPECT_EQ(pretranslate(VK_ADD, false), 1);
    EXPECT_STREQ(Title().CStr(), "Glimpser (120%)");
    EXPECT_EQ(pretranslate(VK_NUMPAD0, false), 1);
    EXPECT_STREQ(Title().CStr(), "Glimpser (100%)");
    // The main keyboard's + does not zoom; arrows are left to the window.
    EXPECT_EQ(pretranslate(VK_OEM_PLUS, false), 2);
    EXPECT_EQ(pretranslate(VK_RIGHT, false), 2);
    EXPECT_STREQ(Title().CStr(), "Glimpser (100%)");

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(pretranslate('C', true), 1);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
}
