// The viewer window: shows one capture or history image, zooms, scrolls and
// pans it, and carries out the commands of its context menu.
#ifndef GLIMPSER_VIEWER_MAIN_WINDOW_H
#define GLIMPSER_VIEWER_MAIN_WINDOW_H

#include <windows.h>

#include <cstdint>

#include "history/file_base.h"
#include "imaging/background_png_write.h"
#include "imaging/gdiplus_bitmap.h"
#include "imaging/gdiplus_lifetime.h"
#include "imaging/zoom_scaler.h"
#include "tessel/list.h"
#include "tessel/owned_ptr.h"
#include "tessel/string_core.h"
#include "viewer/read_ahead.h"
#include "win/command_ids.h"
#include "win/modal_loop.h"
#include "win/rect.h"
#include "win/scoped_win.h"
#include "win/window_impl.h"

// Posted by StoreCapture when a fresh capture got no history file, so that the question comes
// up over the shown capture rather than before the window is.
constexpr UINT WM_STORE_FAILED = WM_APP + 1;
// Posted by the worker that writes a fresh capture's PNG when it is done.
constexpr UINT WM_STORE_DONE = WM_APP + 2;

class CMainWindow : public CWindowImpl<CMainWindow> {
public:
    // One program of the "Open &With" submenu.
    class COpenWithInfo {
    public:
        COpenWithInfo() = default;
        COpenWithInfo(const Tessel::String& name, const Tessel::String& command)
            : name(name), command(command) {}

        Tessel::String name;     // the menu text
        Tessel::String command;  // the command-line template; "%1" stands for the image path
    };

    static constexpr UINT kClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    static constexpr int kBackground = COLOR_WINDOW + 1;
    static constexpr int kCursorId = 32512;  // IDC_ARROW

    CMainWindow();
    ~CMainWindow() override;

    // Takes ownership of bitmap; deletes the bitmap held before.
    void SetImage(HBITMAP bitmap);
    void TakeCaptureRegion(const Rect& region);
    // Shows the fresh capture at once and writes it into the history on a worker thread.
    void StoreCapture();
    // Waits for the capture's write, if one runs, and makes its file current, or tells the
    // user why there is none. Everything that needs the file, or replaces the image, calls it
    // first.
    void FinishStore();
    // Waits for the capture's write and, when it failed, tells the user at once: a command
    // about to drop the capture cannot wait for the posted notice.
    void SettleStore();
    // Asks, while the shown capture is in no file, whether to save it before a command drops
    // it. True when the command may go on: nothing to lose, saved now, or let go (No).
    bool ConfirmDropUnsavedCapture();
    void LoadHistoryImage(const Tessel::String& path);
    // Starts reading the newest history image, the one a viewer without a capture opens on,
    // while its window is being made.
    void ReadNewestAhead();
    void DropImage();

    void SetZoom(int32_t index);
    void FitWindowToImage();
    void UpdateScrollBars();
    void ApplyScroll();

    // Fills the loaded "Context" popup: check marks, the "Open &With" items
    // and the greyed same-region items.
    void PrepareContextMenu(HMENU popup);
    void CaptureAgain(WORD id);

    // Starts the command line and lets it run on its own; false when it could
    // not be started or is longer than a command line can be.
    static bool LaunchCommandLine(const Tessel::String& commandLine);

    HBITMAP Image() const { return image.Get(); }
    const Tessel::String& CurrentPath() const { return currentPath; }
    bool Storing() const { return captureWrite.Running(); }

    BEGIN_MSG_MAP(CMainWindow)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_ACTIVATE, OnActivate)
    MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_CLOSE, OnClose)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_CANCELMODE, OnCancelMode)
    MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
    MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
    MESSAGE_HANDLER(WM_HSCROLL, OnHScroll)
    MESSAGE_HANDLER(WM_VSCROLL, OnVScroll)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDblClk)
    MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
    MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
    MESSAGE_HANDLER(WM_MODAL_PRETRANSLATE, OnModalPretranslate)
    MESSAGE_HANDLER(WM_STORE_FAILED, OnStoreFailed)
    MESSAGE_HANDLER(WM_READ_AHEAD_DONE, OnReadAheadDone)
    MESSAGE_HANDLER(WM_STORE_DONE, OnStoreDone)
    COMMAND_ID_HANDLER(ID_COPY, OnCommandCopy)
    COMMAND_ID_HANDLER(ID_COPY_96DPI, OnCommandCopy)
    COMMAND_ID_HANDLER(ID_COPY_PATH, OnCommandCopyPath)
    CAPTURE_COMMAND_HANDLERS(OnCommandCapture, OnCommandIncludeCursor)
    COMMAND_RANGE_HANDLER(ID_SMOOTH_DISABLED, ID_SMOOTH_AUTOMATIC, OnCommandSmoothStretch)
    COMMAND_ID_HANDLER(ID_ZOOM_IN, OnCommandZoom)
    COMMAND_ID_HANDLER(ID_ZOOM_OUT, OnCommandZoom)
    COMMAND_ID_HANDLER(ID_ZOOM_100, OnCommandZoom)
    COMMAND_ID_HANDLER(ID_PREVIOUS, OnCommandNavigate)
    COMMAND_ID_HANDLER(ID_NEXT, OnCommandNavigate)
    COMMAND_ID_HANDLER(ID_DELETE, OnCommandDelete)
    COMMAND_ID_HANDLER(ID_DELETE_ALL_HISTORY, OnCommandDeleteAllHistory)
    COMMAND_ID_HANDLER(ID_OPEN_HISTORY_FOLDER, OnCommandOpenHistoryFolder)
    COMMAND_ID_HANDLER(ID_SAVE_AS, OnCommandSaveAs)
    COMMAND_RANGE_HANDLER(ID_OPEN_WITH_FIRST, ID_OPEN_WITH_LAST, OnCommandOpenWith)
    END_MSG_MAP()

private:
    MessageHandler OnCreate, OnSize, OnActivate, OnSetFocus, OnPaint, OnClose, OnEraseBkgnd,
        OnCancelMode, OnContextMenu, OnKeyDown, OnHScroll, OnVScroll, OnMouseMove, OnLButtonDown,
        OnLButtonUp, OnLButtonDblClk, OnMouseWheel, OnCaptureChanged, OnModalPretranslate,
        OnStoreFailed, OnStoreDone, OnReadAheadDone;
    CommandHandler OnCommandCopy, OnCommandCopyPath, OnCommandCapture, OnCommandIncludeCursor,
        OnCommandSmoothStretch, OnCommandZoom, OnCommandNavigate, OnCommandDelete,
        OnCommandDeleteAllHistory, OnCommandOpenHistoryFolder, OnCommandSaveAs, OnCommandOpenWith;

    // Scroll-bar positions (horizontal, vertical).
    Point GetScrollPosition() const;
    void OnScrollRequest(int bar, WORD code);
    Size ImageSize() const;
    Size ZoomedImageSize() const;
    void PaintImage(HDC dc, const RECT& update, const RECT& client, Point origin, Size zoomed);
    bool ReservePaintBuffer(HDC dc, Size size);

    // GDI+ stays started for everything below, which is destroyed before it.
    GdiplusLifetime gdiplus;
    ScopedBitmap image;
    // Goes before GDI+ does: its worker may be decoding.
    ReadAhead readAhead;
    Tessel::String readAheadAfterPaint;
    int32_t zoomIndex = 1;
    int32_t wheelRemainder = 0;
    bool fitting = false;
    Point lastScroll{0, 0};
    Point dragStart{0, 0};
    Point dragStartScroll{0, 0};
    Point dragStartWindow{0, 0};
    HACCEL accelerators = nullptr;
    bool maximizedByFit = false;
    // What the last placement of the window was for, asked for and got.
    struct Placement {
        Size zoomed;
        RECT asked;
        RECT got;
    } lastPlacement{};
    int32_t smoothStretch = 2;
    int32_t lastSaveType = 0;
    CFileBase history;
    bool capturing = false;
    Tessel::String currentPath;
    // Why the last fresh capture has no history file, until the user has been told.
    Tessel::String storeFailure;
    // Where the capture being written goes; its file is current once the write is done.
    Tessel::String storingPath;
    // The shown capture is in no file: it could not be stored and has not been saved since.
    bool unsavedCapture = false;
    Rect captureRegion{0, 0, 0, 0};
    Tessel::List<Tessel::OwnedPtr<COpenWithInfo>> openWithList;
    // WM_SETICON does not take the icons over.
    ScopedIcon smallIcon;
    ScopedIcon largeIcon;
    // Zoomed paints are drawn here a band of client rows at a time and blitted: one buffer,
    // grown with the client's width, whatever the zoom.
    ScopedBitmap paintBuffer;
    uint32_t* paintPixels = nullptr;
    Size paintBufferSize{0, 0};
    ZoomScaler scaler;
    // Reads `image`, so it is finished before the image goes.
    BackgroundPngWrite captureWrite;
};

#endif
