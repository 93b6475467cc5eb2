// The viewer's context menu and its commands.
#include <windowsx.h>

#include <cstring>

#include "capture/capture_session.h"
#include "capture/include_cursor.h"
#include "imaging/bitmap_utils.h"
#include "imaging/image_saving.h"
#include "tessel/replace_all.h"
#include "tessel/string_builder.h"
#include "viewer/command_rules.h"
#include "viewer/main_window.h"
#include "viewer/open_with.h"
#include "viewer/zoom_geometry.h"
#include "win/settings.h"
#include "win/show_message.h"
#include "win/win_rect.h"
#include "win/win_text.h"

void CMainWindow::PrepareContextMenu(HMENU popup) {
    CheckMenuItem(popup, CheckedSmoothCommand(smoothStretch), MF_BYCOMMAND | MF_CHECKED);

    HMENU openWith = GetSubMenu(popup, MENU_POS_OPEN_WITH);
    while (GetMenuItemCount(openWith) > 0) {
        DeleteMenu(openWith, 0, MF_BYPOSITION);
    }
    BuildOpenWithList(openWithList);
    int32_t items = OpenWithMenuItemCount(openWithList.Count());
    for (int32_t i = 0; i < items; ++i) {
        AppendMenuW(openWith, MF_STRING, ID_OPEN_WITH_FIRST + i,
                    WStr(ToWide(openWithList[i]->name)));
    }

    bool includeCursor = GetSettingInt("Settings", "IncludeCursor", 1) != 0;
    CheckMenuItem(popup, ID_INCLUDE_CURSOR,
                  MF_BYCOMMAND | (includeCursor ? MF_CHECKED : MF_UNCHECKED));
    UINT sameRegion = IsRectEmpty(captureRegion) ? MF_GRAYED : MF_ENABLED;
    for (UINT id : {ID_CAPTURE_SAME, ID_CAPTURE_SAME_DELAY5, ID_CAPTURE_SAME_DELAY15}) {
        EnableMenuItem(popup, id, MF_BYCOMMAND | sameRegion);
    }
}

LRESULT CMainWindow::OnContextMenu(UINT, WPARAM, LPARAM lParam, bool&) {
    ScopedMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU)));
    HMENU popup = GetSubMenu(menu.Get(), MENU_POPUP_CONTEXT);
    if (!popup) {
        return 0;
    }
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (at.x == -1 && at.y == -1) {
        // Asked for from the keyboard: there is no pointer position.
        at = POINT{5, 5};
        ClientToScreen(hwnd, &at);
    }
    PrepareContextMenu(popup);
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd, nullptr);
    return 0;
}

LRESULT CMainWindow::OnCommandCopy(WORD, WORD id, HWND, bool&) {
    if (!image || !OpenClipboard(hwnd)) {
        return 0;
    }
    EmptyClipboard();
    double factor = 1.0;
    if (id == ID_COPY_96DPI) {
        uint32_t dpi = GetScreenDpi();
        factor = dpi ? 96.0 / dpi : 1.0;
    }
    HBITMAP copy = CopyBitmapScaled(image.Get(), factor);
    // The clipboard owns the copy once it took it.
    if (!SetClipboardData(CF_BITMAP, copy)) {
        DeleteObject(copy);
    }
    CloseClipboard();
    return 0;
}

LRESULT CMainWindow::OnCommandCopyPath(WORD, WORD, HWND, bool&) {
    FinishStore();
    if (currentPath.IsEmpty() || !OpenClipboard(hwnd)) {
        return 0;
    }
    EmptyClipboard();
    Tessel::WString wide = ToWide(currentPath);
    size_t bytes = (static_cast<size_t>(wide.Length()) + 1) * sizeof(char16_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    void* text = memory ? GlobalLock(memory) : nullptr;
    if (text) {
        std::memcpy(text, WStr(wide), bytes);
        GlobalUnlock(memory);
        if (SetClipboardData(CF_UNICODETEXT, memory)) {
            memory = nullptr;
        }
    }
    if (memory) {
        GlobalFree(memory);
    }
    CloseClipboard();
    return 0;
}

void CMainWindow::CaptureAgain(WORD id) {
    if (!ConfirmDropUnsavedCapture()) {
        return;
    }
    uint32_t delayMs = CaptureDelayMs(id);
    RECT region = IsSameRegionCapture(id) ? ToRECT(captureRegion) : RECT{0, 0, 0, 0};
    // Activation leaves the history alone while our own capture runs.
    capturing = true;
    ShowWindow(hwnd, SW_HIDE);
    bool includeCursor = CaptureIncludesCursor(static_cast<int32_t>(delayMs),
                                               GetSettingInt("Settings", "IncludeCursor", 1));
    HBITMAP bitmap = RunCaptureSession(delayMs, includeCursor, region, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    capturing = false;
    if (!bitmap) {
        return;
    }
    SetImage(bitmap);
    TakeCaptureRegion(ToRect(region));
    FitWindowToImage();
    StoreCapture();
}

LRESULT CMainWindow::OnCommandCapture(WORD, WORD id, HWND, bool&) {
    CaptureAgain(id);
    return 0;
}

LRESULT CMainWindow::OnCommandIncludeCursor(WORD, WORD, HWND, bool&) {
    // Read afresh: the tray and other viewers share the setting.
    bool included = GetSettingInt("Settings", "IncludeCursor", 1) != 0;
    SetSettingInt("Settings", "IncludeCursor", included ? 0 : 1);
    return 0;
}

LRESULT CMainWindow::OnCommandSmoothStretch(WORD, WORD id, HWND, bool&) {
    smoothStretch = id - ID_SMOOTH_DISABLED;
    InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
}

LRESULT CMainWindow::OnCommandZoom(WORD, WORD id, HWND, bool&) {
    if (id == ID_ZOOM_IN) {
        SetZoom(zoomIndex + 1);
    } else if (id == ID_ZOOM_OUT) {
        SetZoom(zoomIndex - 1);
    } else {
        SetZoom(kZoom100Index);
    }
    return 0;
}

LRESULT CMainWindow::OnCommandNavigate(WORD, WORD id, HWND, bool&) {
    if (!ConfirmDropUnsavedCapture()) {
        return 0;
    }
    const int step = id == ID_PREVIOUS ? -1 : 1;
    Tessel::String path;
    if (!history.Navigate(currentPath, step, path)) {
        return 0;
    }
    HBITMAP held = readAhead.Step(currentPath, image, path);
    currentPath = path;
    if (held) {
        SetImage(held);
        FitWindowToImage();
    } else {
        LoadHistoryImage(currentPath);
    }
    // The user is likely to go on the same way (from the start: back from the newest). The
    // step is shown first, before the read competes with it for the processor; a window still
    // being made starts the read once it has painted.
    Tessel::String ahead;
    if (history.Navigate(currentPath, step, ahead)) {
        if (IsWindowVisible(hwnd)) {
            UpdateWindow(hwnd);
            readAhead.Start(hwnd, ahead);
        } else {
            readAheadAfterPaint = ahead;
        }
    }
    return 0;
}

LRESULT CMainWindow::OnCommandDelete(WORD, WORD, HWND, bool&) {
    SettleStore();
    const bool unsaved = unsavedCapture;
    if (!ConfirmDropUnsavedCapture()) {
        return 0;
    }
    if (currentPath.IsEmpty()) {
        // A capture in no file has nothing to delete; it goes from the view, and the newest
        // history file, its older neighbour, comes in its place.
        if (unsaved) {
            DropImage();
            SendMessageW(hwnd, WM_COMMAND, ID_PREVIOUS, 0);
            FitWindowToImage();
        }
        return 0;
    }
    Tessel::String victim = currentPath;
    // Show the older neighbour first; without one the view empties.
    SendMessageW(hwnd, WM_COMMAND, ID_PREVIOUS, 0);
    if (currentPath == victim) {
        DropImage();
        FitWindowToImage();
        currentPath = Tessel::String();
    }
    history.DeleteHistoryFile(victim);
    return 0;
}

LRESULT CMainWindow::OnCommandDeleteAllHistory(WORD, WORD, HWND, bool&) {
    // No is the default: Enter alone must not empty the history.
    if (!ConfirmDropUnsavedCapture() ||
        ShowMessage(Tessel::String("Are you sure you want to delete all history files?"),
                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        return 0;
    }
    DropImage();
    currentPath = Tessel::String();
    FitWindowToImage();
    history.DeleteAllHistory();
    return 0;
}

LRESULT CMainWindow::OnCommandOpenHistoryFolder(WORD, WORD, HWND, bool&) {
    FinishStore();
    LaunchCommandLine(ExplorerSelectCommand(currentPath));
    return 0;
}

LRESULT CMainWindow::OnCommandSaveAs(WORD, WORD, HWND, bool&) {
    static const COMDLG_FILTERSPEC kTypes[] = {
        {L"PNG Image", L"*.png"},
        {L"JPEG Image", L"*.jpg;*.jpeg"},
        {L"Bitmap", L"*.bmp"},
    };
    Tessel::String path;
    // The dialog asked before a file is replaced.
    if (ShowSaveDialog(hwnd, "png", kTypes, 3, lastSaveType, path) &&
        SaveImage(image.Get(), path, 0, ExistingFile::Replace)) {
        unsavedCapture = false;
    }
    return 0;
}

LRESULT CMainWindow::OnCommandOpenWith(WORD, WORD id, HWND, bool&) {
    FinishStore();
    int32_t index = OpenWithIndex(id, openWithList.Count());
    if (index >= 0) {
        LaunchCommandLine(
            ReplaceAll(openWithList[index]->command, Tessel::String("%1"), currentPath));
    }
    return 0;
}

bool CMainWindow::LaunchCommandLine(const Tessel::String& commandLine) {
    Tessel::WString wide = ToWide(commandLine);
    if (wide.Length() > kMaxCommandLineUnits) {
        return false;
    }
    // CreateProcessW may write into the line it is given, so it gets a private
    // copy, as long as the line itself.
    Tessel::StringBuilder<char16_t> buffer;
    char16_t* line = buffer.Reserve(wide.Length() + 1);
    if (!line) {
        return false;
    }
    std::memcpy(line, WStr(wide), (static_cast<size_t>(wide.Length()) + 1) * sizeof(char16_t));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, reinterpret_cast<wchar_t*>(line), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &process)) {
        return false;
    }
    ScopedHandle thread(process.hThread);
    ScopedHandle child(process.hProcess);
    return true;
}
