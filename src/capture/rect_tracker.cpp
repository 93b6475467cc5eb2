#include "capture/rect_tracker.h"

#include "capture/track_geometry.h"
#include "win/win_rect.h"

bool CDrawRectTracker::TrackRect(HWND trackedWindow, Point& start, Rect& result) {
    if (!Track(trackedWindow, start)) {
        return false;
    }
    result = rect;
    if (result.left == result.right && result.top == result.bottom) {
        return false;
    }
    result = InclusiveRect(result);
    return true;
}

void CDrawRectTracker::OnBeginTrack(const Point& start) {
    rect = Rect{start.x, start.y, start.x, start.y};
    DrawTrackFeedback();
}

void CDrawRectTracker::OnTrackMove(const Point& /*from*/, const Point& to) {
    DrawTrackFeedback();
    rect.right = to.x;
    rect.bottom = to.y;
    DrawTrackFeedback();
}

void CDrawRectTracker::OnEndTrack(const Point& /*last*/, bool /*aborted*/) {
    DrawTrackFeedback();
}

void CDrawRectTracker::DrawTrackFeedback() {
    // DrawFocusRect inverts, so drawing the same outline twice removes it.
    const RECT outline = ToRECT(InclusiveRect(rect));
    ScopedWindowDC dc = GetTrackDC();
    DrawFocusRect(dc.Get(), &outline);
}

CDrawRectTrackerEx::CDrawRectTrackerEx() {
    // The feedback locks the window itself, and only one window can be locked.
    lockUpdate = false;
}

const Rect* CDrawRectTrackerEx::GetTrackRect() {
    trackRect = InclusiveRect(rect);
    return &trackRect;
}

void CDrawRectTrackerEx::OnBeginTrack(const Point& start) {
    feedback.Begin(hwnd);
    CDrawRectTracker::OnBeginTrack(start);
}

void CDrawRectTrackerEx::OnEndTrack(const Point& last, bool aborted) {
    feedback.End();
    CDrawRectTracker::OnEndTrack(last, aborted);
}

void CDrawRectTrackerEx::DrawTrackFeedback() {
    feedbackShown = !feedbackShown;
    // Hiding waits for the next Update or End, which repair the window from
    // the saved image in the same copy that shows the new rectangle.
    if (!feedbackShown) {
        return;
    }
    feedback.ClearItems();
    feedback.AddRect(rect);
    feedback.Update();
}
