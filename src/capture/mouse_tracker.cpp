#include "capture/mouse_tracker.h"

#include <windowsx.h>

#include "win/win_rect.h"

namespace {

constexpr UINT kRedrawNowWithChildren = RDW_UPDATENOW | RDW_ALLCHILDREN;
constexpr DWORD kDrawWhileLocked = DCX_PARENTCLIP | DCX_LOCKWINDOWUPDATE;

}  // namespace

CMouseTracker::CMouseTracker() : lastMoveTick(GetTickCount()) {}

bool CMouseTracker::Track(HWND trackedWindow, Point& point) {
    // Without a window nothing could ever take the capture away, and the loop would swallow
    // the thread's input for good.
    if (!IsWindow(trackedWindow)) {
        aborted = true;
        return false;
    }
    SetCapture(trackedWindow);
    AdjustPoint(point);
    ClampToBounds(point);
    hwnd = trackedWindow;
    startPoint = point;
    if (lockUpdate) {
        LockWindow();
    }
    OnBeginTrack(startPoint);
    if (autoScroll) {
        lastScrollTick = GetTickCount();
        SetTimer(hwnd, kAutoScrollTimerId, kAutoScrollTimerMs, nullptr);
    }
    if (hoverEnabled) {
        lastMoveTick = GetTickCount();
        SetTimer(hwnd, kHoverTimerId, kHoverTimerMs, nullptr);
    }

    bool moved = false;
    bool finished = false;
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // The enclosing loops must end too, and must not find the mouse
            // still captured by a drag that is over.
            if (GetCapture() == hwnd) {
                ReleaseCapture();
            }
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1) {
            break;
        }
        const TrackAction action = ClassifyTrackMessage(message.message, message.wParam);
        if (action == TrackAction::Dispatch) {
            DispatchMessageW(&message);
            continue;
        }
        if (GetCapture() != hwnd) {
            break;
        }
        switch (action) {
            case TrackAction::Cancel:
                ReleaseCapture();
                break;
            case TrackAction::Finish:
                finished = true;
                ReleaseCapture();
                break;
            case TrackAction::KeyMove:
                OnTrackMove(point, point);
                break;
            case TrackAction::MouseMove:
                ProcessPoint(Point{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)},
                             false, moved, point);
                break;
            case TrackAction::HoverTick:
                OnHoverTimer();
                break;
            case TrackAction::ScrollTick: {
                const Point pointer = GetPointerPosition();
                ProcessPoint(ToMouseMessagePoint(pointer.x, pointer.y), true, moved, point);
                break;
            }
            case TrackAction::Dispatch:
            case TrackAction::Swallow:
                break;
        }
        if (GetCapture() != hwnd) {
            break;
        }
    }

    if (autoScroll) {
        KillTimer(hwnd, kAutoScrollTimerId);
    }
    if (hoverEnabled) {
        KillTimer(hwnd, kHoverTimerId);
    }
    OnEndTrack(point, !finished);
    if (lockUpdate) {
        LockWindowUpdate(nullptr);
    }
    aborted = !finished;
    return moved && finished;
}

void CMouseTracker::ProcessPoint(Point q, bool fromTimer, bool& moved, Point& current) {
    if (!(q == startPoint)) {
        moved = true;
    }
    if (autoScroll) {
        RECT client;
        GetClientRect(hwnd, &client);
        const AutoScrollSteps steps = GetAutoScrollSteps(q, ToRect(client));
        if (steps.outside && TicksSince(GetTickCount(), lastScrollTick) > kAutoScrollStepMs) {
            ScrollOneStep(steps);
        }
    }
    if (scrollOffset != nullptr) {
        q = AddScrollOffset(q, *scrollOffset);
    }
    AdjustPoint(q);
    ClampToBounds(q);
    if (q == current && !fromTimer) {
        return;
    }
    if (!fromTimer) {
        lastMoveTick = GetTickCount();
    }
    OnTrackMove(current, q);
    current = q;
}

void CMouseTracker::ScrollOneStep(const AutoScrollSteps& steps) {
    // The window repaints itself while it scrolls, so the feedback comes off
    // and the lock is lifted around the step.
    DrawTrackFeedback();
    if (lockUpdate) {
        LockWindowUpdate(nullptr);
    }
    if (steps.lineLeft) {
        SendMessageW(hwnd, WM_HSCROLL, SB_LINELEFT, 0);
    }
    if (steps.lineRight) {
        SendMessageW(hwnd, WM_HSCROLL, SB_LINERIGHT, 0);
    }
    if (steps.lineUp) {
        SendMessageW(hwnd, WM_VSCROLL, SB_LINEUP, 0);
    }
    if (steps.lineDown) {
        SendMessageW(hwnd, WM_VSCROLL, SB_LINEDOWN, 0);
    }
    UpdateWindow(hwnd);
    if (lockUpdate) {
        LockWindow();
    }
    DrawTrackFeedback();
    lastScrollTick = GetTickCount();
}

void CMouseTracker::OnHoverTimer() {
    if (!hoverEnabled || lastMoveTick == 0 ||
        TicksSince(GetTickCount(), lastMoveTick) <= kHoverRestMs) {
        return;
    }
    const Point position = GetPointerPosition();
    lastMoveTick = 0;
    OnHover(position);
}

void CMouseTracker::LockWindow() const {
    // Everything pending goes to the screen first: nothing paints once locked.
    RedrawWindow(hwnd, nullptr, nullptr, kRedrawNowWithChildren);
    LockWindowUpdate(hwnd);
}

Point CMouseTracker::GetPointerPosition() const {
    POINT position{};
    GetCursorPos(&position);
    ScreenToClient(hwnd, &position);
    return ToPoint(position);
}

void CMouseTracker::AdjustPoint(Point& point) {
    if (grid != nullptr) {
        SnapPointToGrid(point, *grid);
    }
}

void CMouseTracker::ClampToBounds(Point& point) const {
    if (bounds != nullptr) {
        ClampPointToBounds(point, *bounds);
    }
}

ScopedWindowDC CMouseTracker::GetTrackDC() const {
    ScopedWindowDC dc(hwnd, GetDCEx(hwnd, nullptr, kDrawWhileLocked));
    const Point origin = scrollOffset != nullptr ? *scrollOffset : Point{};
    SetWindowOrgEx(dc.Get(), origin.x, origin.y, nullptr);
    return dc;
}
