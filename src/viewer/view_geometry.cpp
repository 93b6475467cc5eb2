// Zoom, fitting the window to the image, scroll bars, keyboard, wheel and drag.
#include <windowsx.h>

#include "imaging/bitmap_utils.h"
#include "viewer/main_window.h"
#include "viewer/zoom_geometry.h"
#include "win/win_rect.h"
#include "win/win_text.h"

namespace {

constexpr DWORD kFitStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

bool HasStyle(HWND window, DWORD style) {
    return (static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & style) != 0;
}

// Hides the bar when the image fits on this axis, else ranges it over the
// whole zoomed extent with one client extent as the page.
void RangeScrollBar(HWND window, int bar, int32_t zoomedExtent, int32_t clientExtent) {
    if (zoomedExtent <= clientExtent) {
        ShowScrollBar(window, bar, FALSE);
        if (GetScrollPos(window, bar) != 0) {
            InvalidateRect(window, nullptr, TRUE);
            SetScrollPos(window, bar, 0, TRUE);
        }
        return;
    }
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    // The same range set again still redraws the bar; under Wine the first such redraw of a
    // window just shown waits until the X server has taken the window's whole first frame
    // (90 ms at 3840x2160), all of it before the image's first paint.
    const DWORD barStyle = bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
    if (HasStyle(window, barStyle) && GetScrollInfo(window, bar, &info) && info.nMin == 0 &&
        info.nMax == zoomedExtent && info.nPage == static_cast<UINT>(clientExtent)) {
        return;
    }
    info.nMin = 0;
    info.nMax = zoomedExtent;
    info.nPage = static_cast<UINT>(clientExtent);
    SetScrollInfo(window, bar, &info, TRUE);
    // A bar hidden by a fit comes back only with a range other than the one it had.
    if (!HasStyle(window, barStyle)) {
        ShowScrollBar(window, bar, TRUE);
    }
}

}  // namespace

Size CMainWindow::ImageSize() const {
    BITMAP info{};
    if (!image || !GetObjectW(image.Get(), sizeof info, &info)) {
        return Size{0, 0};
    }
    return Size{info.bmWidth, info.bmHeight};
}

Size CMainWindow::ZoomedImageSize() const {
    return ZoomedSize(ImageSize(), ZoomSteps[zoomIndex]);
}

Point CMainWindow::GetScrollPosition() const {
    return Point{GetScrollPos(hwnd, SB_HORZ), GetScrollPos(hwnd, SB_VERT)};
}

void CMainWindow::SetZoom(int32_t index) {
    index = ClampZoomIndex(index);
    if (index == zoomIndex) {
        return;
    }
    zoomIndex = index;
    FitWindowToImage();
    UpdateScrollBars();
    SetWindowTextW(hwnd, WStr(ToWide(ZoomTitle(index))));
}

void CMainWindow::FitWindowToImage() {
    RECT window{};
    GetWindowRect(hwnd, &window);
    int32_t percent = ZoomSteps[zoomIndex];
    Size source = image ? ImageSize() : Size{kPlaceholderExtent, kPlaceholderExtent};
    Size zoomed = ZoomedSize(source, percent);
    RECT frame{0, 0, zoomed.cx, zoomed.cy};
    AdjustWindowRectEx(&frame, kFitStyle, FALSE, 0);
    Size outer{frame.right - frame.left, frame.bottom - frame.top};
    RECT workArea{};
    GetDesktopWorkArea(&workArea);
    Rect area = ToRect(workArea);

    fitting = true;
    FitDecision decision =
        DecideFit(FitsWorkArea(outer, area), percent, HasStyle(hwnd, WS_MAXIMIZE), maximizedByFit);
    maximizedByFit = decision.maximizedByFit;
    if (decision.maximize) {
        ShowWindow(hwnd, SW_MAXIMIZE);
    }
    if (decision.restore) {
        ShowWindow(hwnd, SW_RESTORE);
    }
    if (decision.place) {
        // The corner read before any restore: a window we had maximized comes
        // back where its maximized frame was.
        const RECT placed = ToRECT(PlaceWindow(outer, Point{window.left, window.top}, area));
        // A step between images of one size finds the window as the last placement left it
        // (smaller than asked, when the system caps its size at the screen's): hiding and
        // showing the bars again would only repaint the whole window.
        if (zoomed != lastPlacement.zoomed || !EqualRect(&placed, &lastPlacement.asked) ||
            !EqualRect(&window, &lastPlacement.got)) {
            ShowScrollBar(hwnd, SB_VERT, FALSE);
            ShowScrollBar(hwnd, SB_HORZ, FALSE);
            SetWindowPos(hwnd, nullptr, placed.left, placed.top, placed.right - placed.left,
                         placed.bottom - placed.top, SWP_NOZORDER);
            lastPlacement = Placement{zoomed, placed, RECT{}};
            GetWindowRect(hwnd, &lastPlacement.got);
        }
    }
    fitting = false;
    UpdateScrollBars();
    InvalidateRect(hwnd, nullptr, TRUE);
}

void CMainWindow::UpdateScrollBars() {
    if (!image) {
        return;
    }
    Size zoomed = ZoomedImageSize();
    RECT client{};
    GetClientRect(hwnd, &client);
    RangeScrollBar(hwnd, SB_HORZ, zoomed.cx, client.right);
    // The horizontal bar may have taken some of the height.
    GetClientRect(hwnd, &client);
    RangeScrollBar(hwnd, SB_VERT, zoomed.cy, client.bottom);
    lastScroll = GetScrollPosition();
}

void CMainWindow::ApplyScroll() {
    Point position = GetScrollPosition();
    if (position == lastScroll) {
        return;
    }
    // Move what is on screen and repaint only the strip uncovered.
    ScrollWindowEx(hwnd, lastScroll.x - position.x, lastScroll.y - position.y, nullptr, nullptr,
                   nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    lastScroll = position;
}

void CMainWindow::OnScrollRequest(int bar, WORD code) {
    RECT client{};
    GetClientRect(hwnd, &client);
    if (!HasStyle(hwnd, bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) {
        return;
    }
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(hwnd, bar, &info);
    int32_t target = 0;
    if (ScrollTarget(code, GetScrollPos(hwnd, bar), bar == SB_HORZ ? client.right : client.bottom,
                     info.nTrackPos, target)) {
        SetScrollPos(hwnd, bar, target, TRUE);
    }
    ApplyScroll();
}

LRESULT CMainWindow::OnHScroll(UINT, WPARAM wParam, LPARAM, bool&) {
    OnScrollRequest(SB_HORZ, LOWORD(wParam));
    return 0;
}

LRESULT CMainWindow::OnVScroll(UINT, WPARAM wParam, LPARAM, bool&) {
    OnScrollRequest(SB_VERT, LOWORD(wParam));
    return 0;
}

LRESULT CMainWindow::OnKeyDown(UINT, WPARAM wParam, LPARAM, bool&) {
    KeyScroll scroll = MapScrollKey(static_cast<uint32_t>(wParam), GetKeyState(VK_CONTROL) < 0);
    if (scroll.axis != ScrollAxis::kNone) {
        SendMessageW(hwnd, scroll.axis == ScrollAxis::kHorizontal ? WM_HSCROLL : WM_VSCROLL,
                     static_cast<WPARAM>(scroll.code), 0);
    }
    return 0;
}

LRESULT CMainWindow::OnMouseWheel(UINT, WPARAM wParam, LPARAM, bool&) {
    int32_t steps = WheelSteps(GET_WHEEL_DELTA_WPARAM(wParam), wheelRemainder);
    WPARAM command = steps > 0 ? ID_ZOOM_IN : ID_ZOOM_OUT;
    for (int32_t i = steps < 0 ? -steps : steps; i > 0; --i) {
        SendMessageW(hwnd, WM_COMMAND, command, 0);
    }
    return 0;
}

LRESULT CMainWindow::OnLButtonDown(UINT, WPARAM, LPARAM lParam, bool&) {
    SetCapture(hwnd);
    POINT start{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(hwnd, &start);
    dragStart = ToPoint(start);
    dragStartScroll = GetScrollPosition();
    RECT window{};
    GetWindowRect(hwnd, &window);
    dragStartWindow = Point{window.left, window.top};
    return 0;
}

LRESULT CMainWindow::OnMouseMove(UINT, WPARAM, LPARAM lParam, bool&) {
    if (GetCapture() != hwnd) {
        return 0;
    }
    POINT pointer{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(hwnd, &pointer);
    bool horizontal = HasStyle(hwnd, WS_HSCROLL);
    bool vertical = HasStyle(hwnd, WS_VSCROLL);
    if (DragMovesWindow(horizontal, vertical, IsZoomed(hwnd) != FALSE)) {
        Point moved = DragWindowPosition(dragStartWindow, dragStart, ToPoint(pointer));
        SetWindowPos(hwnd, nullptr, moved.x, moved.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        return 0;
    }
    Point scroll =
        DragScrollPosition(dragStartScroll, dragStart, ToPoint(pointer), horizontal, vertical);
    SetScrollPos(hwnd, SB_VERT, scroll.y, TRUE);
    SetScrollPos(hwnd, SB_HORZ, scroll.x, TRUE);
    ApplyScroll();
    return 0;
}
