// The base of every drag: captures the mouse on a window, runs a private
// message loop until the drag is released or cancelled, turns each mouse
// position into a tracked point and reports the drag through virtual
// operations that derived classes override to draw.
#ifndef GLIMPSER_CAPTURE_MOUSE_TRACKER_H
#define GLIMPSER_CAPTURE_MOUSE_TRACKER_H

#include <windows.h>

#include <cstdint>

#include "capture/track_geometry.h"
#include "win/rect.h"
#include "win/scoped_win.h"

class CMouseTracker {
public:
    CMouseTracker();
    CMouseTracker(const CMouseTracker&) = delete;
    CMouseTracker& operator=(const CMouseTracker&) = delete;
    virtual ~CMouseTracker() = default;

    // point goes in as the press position in client coordinates (plus the
    // scroll offset) and comes out as the last tracked point. True only when
    // a button release ended a drag that moved at all; aborted tells a
    // cancelled drag from a click.
    bool Track(HWND trackedWindow, Point& point);

    // The pointed-to values must stay alive while Track runs.
    void SetBounds(const Rect* newBounds) { bounds = newBounds; }
    void SetGrid(const Size* newGrid) { grid = newGrid; }
    void SetScrollOffset(const Point* offset, bool scrollAutomatically) {
        scrollOffset = offset;
        autoScroll = scrollAutomatically;
    }

    void ClampToBounds(Point& point) const;

    // How the last Track ended: true = cancelled or the capture was lost.
    bool aborted = false;
    // Lock the window against other drawing for the whole drag.
    bool lockUpdate = true;
    // Report a resting pointer through OnHover.
    bool hoverEnabled = false;

protected:
    virtual void AdjustPoint(Point& point);
    virtual void OnBeginTrack(const Point& /*start*/) {}
    virtual void OnTrackMove(const Point& /*from*/, const Point& /*to*/) {}
    virtual void OnEndTrack(const Point& /*last*/, bool /*aborted*/) {}
    // Derived classes toggle their feedback on or off with each call.
    virtual void DrawTrackFeedback() {}
    virtual void OnHover(const Point& /*position*/) {}

    // The tracked window's DC, origin moved by the scroll offset, allowed to
    // draw while the window is locked.
    ScopedWindowDC GetTrackDC() const;

    HWND hwnd = nullptr;
    Point startPoint;

private:
    // Points from mouse messages and auto-scroll ticks; moves current.
    void ProcessPoint(Point q, bool fromTimer, bool& moved, Point& current);
    void ScrollOneStep(const AutoScrollSteps& steps);
    void OnHoverTimer();
    void LockWindow() const;
    Point GetPointerPosition() const;

    const Rect* bounds = nullptr;
    const Size* grid = nullptr;
    const Point* scrollOffset = nullptr;
    bool autoScroll = false;
    uint32_t lastScrollTick = 0;
    uint32_t lastMoveTick = 0;
};

#endif
