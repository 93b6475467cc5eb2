// The rubber band: one press, drag and release of the mouse becomes a
// rectangle between the press point and the last point moved to.
// CDrawRectTracker shows it as an XOR focus rectangle, CDrawRectTrackerEx
// through the translucent drag feedback.
#ifndef GLIMPSER_CAPTURE_RECT_TRACKER_H
#define GLIMPSER_CAPTURE_RECT_TRACKER_H

#include <windows.h>

#include "capture/drag_feedback.h"
#include "capture/mouse_tracker.h"
#include "win/rect.h"

class CDrawRectTracker : public CMouseTracker {
public:
    // Runs the drag from start (updated to the last tracked point) and on
    // true gives the chosen rectangle with both corner pixels included. On
    // false, aborted tells a cancelled drag from a click or a drag that came
    // back to its start.
    bool TrackRect(HWND trackedWindow, Point& start, Rect& result);

protected:
    void OnBeginTrack(const Point& start) override;
    void OnTrackMove(const Point& from, const Point& to) override;
    void OnEndTrack(const Point& last, bool aborted) override;
    void DrawTrackFeedback() override;

    // Anchor corner in left, top; moving corner in right, bottom; not
    // normalised while tracking.
    Rect rect;
};

class CDrawRectTrackerEx : public CDrawRectTracker {
public:
    CDrawRectTrackerEx();

    // The inclusive rectangle of the current corners; valid while tracking.
    virtual const Rect* GetTrackRect();

protected:
    void OnBeginTrack(const Point& start) override;
    void OnEndTrack(const Point& last, bool aborted) override;
    void DrawTrackFeedback() override;

private:
    Rect trackRect;
    CDragFeedback feedback;
    bool feedbackShown = false;
};

#endif
