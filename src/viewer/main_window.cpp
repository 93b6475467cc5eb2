#include "viewer/main_window.h"

#include "capture/capture_session.h"
#include "history/history_folder.h"
#include "imaging/bitmap_utils.h"
#include "imaging/image_file_reader.h"
#include "tessel/format.h"
#include "win/settings.h"
#include "win/show_message.h"
#include "win/win_rect.h"

CMainWindow::CMainWindow() {
    accelerators = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_ACCEL));
    smoothStretch = GetSettingInt("Settings", "SmoothStretch", 2);
    lastSaveType = GetSettingInt("Settings", "LastSaveType", 0);
    ConfigureHistory(history);
    captureRegion = LoadCaptureRegion();
}

CMainWindow::~CMainWindow() {
    FinishStore();
    DestroyAcceleratorTable(accelerators);
    SetSettingInt("Settings", "SmoothStretch", smoothStretch);
    SetSettingInt("Settings", "LastSaveType", lastSaveType);
}

void CMainWindow::SetImage(HBITMAP bitmap) {
    DropImage();
    image.Reset(bitmap);
}

void CMainWindow::TakeCaptureRegion(const Rect& region) {
    captureRegion = region;
    SaveCaptureRegion(region);
}

void CMainWindow::StoreCapture() {
    FinishStore();
    if (!image) {
        return;
    }
    currentPath = Tessel::String();
    if (!history.AddCapture(storingPath)) {
        storeFailure = DescribeHistoryFolderProblem(history.Folder());
        // No current path: Copy Path, Open With and Delete must not act on a file that is not
        // there.
        PostMessageW(hwnd, WM_STORE_FAILED, 0, 0);
        return;
    }
    captureWrite.Start(image.Get(), storingPath, GetScreenDpi(), hwnd, WM_STORE_DONE);
}

void CMainWindow::FinishStore() {
    if (!captureWrite.Running()) {
        return;
    }
    Tessel::String temporary;
    PngFileResult result = captureWrite.Finish(temporary);
    // Another process stored a capture under the same number meanwhile: ours takes the next.
    if (result == PngFileResult::NameTaken) {
        result = history.PlaceCapture(temporary, storingPath) ? PngFileResult::Written
                                                              : PngFileResult::Failed;
    }
    if (result == PngFileResult::Written) {
        currentPath = storingPath;
        return;
    }
    storeFailure = Tessel::Format("%s: '%s' could not be written.", DescribePngFileFailure(result),
                                  storingPath.CStr());
    if (hwnd != nullptr) {
        PostMessageW(hwnd, WM_STORE_FAILED, 0, 0);
    }
}

void CMainWindow::LoadHistoryImage(const Tessel::String& path) {
    SetImage(ReadImageFile(path));
    FitWindowToImage();
}

void CMainWindow::ReadNewestAhead() {
    Tessel::String newest;
    if (history.Navigate(Tessel::String(), -1, newest)) {
        readAhead.Start(nullptr, newest);
    }
}

void CMainWindow::DropImage() {
    FinishStore();
    image.Reset();
    unsavedCapture = false;
}

void CMainWindow::SettleStore() {
    FinishStore();
    if (!storeFailure.IsEmpty()) {
        SendMessageW(hwnd, WM_STORE_FAILED, 0, 0);
    }
}

bool CMainWindow::ConfirmDropUnsavedCapture() {
    SettleStore();
    if (!unsavedCapture) {
        return true;
    }
    switch (ShowMessage(Tessel::String("The capture shown here is in no file.  Save it first?"),
                        MB_YESNOCANCEL | MB_ICONWARNING)) {
        case IDYES:
            // A cancelled or failed Save As keeps the capture, and the viewer as it is.
            SendMessageW(hwnd, WM_COMMAND, ID_SAVE_AS, 0);
            return !unsavedCapture;
        case IDNO:
            return true;
        default:
            return false;
    }
}

LRESULT CMainWindow::OnCreate(UINT, WPARAM, LPARAM, bool&) {
    smallIcon.Reset(LoadIconAtSize(IDI_GLIMPSER, false));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.Get()));
    largeIcon.Reset(LoadIconAtSize(IDI_GLIMPSER, true));
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon.Get()));
    if (image) {
        StoreCapture();
    } else {
        // With no current file, Previous answers the newest one in the history.
        SendMessageW(hwnd, WM_COMMAND, ID_PREVIOUS, 0);
    }
    FitWindowToImage();
    return 0;
}

LRESULT CMainWindow::OnSize(UINT, WPARAM, LPARAM, bool&) {
    // While fitting, the window passes through sizes that are not final.
    if (!fitting && image) {
        UpdateScrollBars();
    }
    return 0;
}

LRESULT CMainWindow::OnActivate(UINT, WPARAM wParam, LPARAM, bool&) {
    // Another viewer may have added or removed files while we were in the background.
    if (LOWORD(wParam) != WA_INACTIVE && !capturing) {
        history.MarkStale();
    }
    return 0;
}

LRESULT CMainWindow::OnSetFocus(UINT, WPARAM, LPARAM, bool&) {
    wheelRemainder = 0;
    return 0;
}

LRESULT CMainWindow::OnClose(UINT, WPARAM, LPARAM, bool&) {
    // The process ends with the loop: the capture's file is complete before it does, or the
    // user has been asked about the capture that could not be written.
    if (!ConfirmDropUnsavedCapture()) {
        return 0;
    }
    EndModalLoop(hwnd, 1);
    return 0;
}

LRESULT CMainWindow::OnEraseBkgnd(UINT, WPARAM, LPARAM, bool&) {
    // Painting fills the background itself, around the image, without flicker.
    return 1;
}

LRESULT CMainWindow::OnCancelMode(UINT, WPARAM, LPARAM, bool& handled) {
    if (GetCapture() == hwnd) {
        ReleaseCapture();
    }
    handled = false;
    return 0;
}

LRESULT CMainWindow::OnLButtonUp(UINT, WPARAM, LPARAM, bool&) {
    if (GetCapture() == hwnd) {
        ReleaseCapture();
    }
    return 0;
}

LRESULT CMainWindow::OnLButtonDblClk(UINT, WPARAM, LPARAM, bool&) {
    SendMessageW(hwnd, WM_COMMAND, ID_CAPTURE_REGION, 0);
    return 0;
}

LRESULT CMainWindow::OnCaptureChanged(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT CMainWindow::OnStoreFailed(UINT, WPARAM, LPARAM, bool&) {
    const Tessel::String failure = storeFailure;
    storeFailure = Tessel::String();
    if (failure.IsEmpty() || !image) {
        return 0;
    }
    // The capture lives only in this window now: the one message says so and offers a way out,
    // and until it is saved nothing drops it without asking.
    unsavedCapture = true;
    if (ShowMessage(Tessel::Format("%s\n\nThe capture is still shown here.  Save it elsewhere?",
                                   failure.CStr()),
                    MB_YESNO | MB_ICONERROR) == IDYES) {
        SendMessageW(hwnd, WM_COMMAND, ID_SAVE_AS, 0);
    }
    return 0;
}

LRESULT CMainWindow::OnStoreDone(UINT, WPARAM, LPARAM, bool&) {
    FinishStore();
    return 0;
}

LRESULT CMainWindow::OnReadAheadDone(UINT, WPARAM wParam, LPARAM, bool&) {
    readAhead.OnReadDone(wParam);
    return 0;
}

LRESULT CMainWindow::OnModalPretranslate(UINT, WPARAM, LPARAM lParam, bool&) {
    MSG* message = reinterpret_cast<MSG*>(lParam);
    return TranslateAcceleratorW(hwnd, accelerators, message) ? 1 : 2;
}
