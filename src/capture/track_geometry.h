// The mouse tracker's decisions as plain functions: which messages are input,
// what the drag loop does with each message, grid snapping, clamping, the
// scroll offset, auto-scroll directions, tick arithmetic and the inclusive
// rectangle a drag chooses.
#ifndef GLIMPSER_CAPTURE_TRACK_GEOMETRY_H
#define GLIMPSER_CAPTURE_TRACK_GEOMETRY_H

#include <cstdint>

#include "win/rect.h"

inline constexpr uintptr_t kAutoScrollTimerId = 98765;
inline constexpr uintptr_t kHoverTimerId = 98766;
inline constexpr uint32_t kAutoScrollTimerMs = 12;
inline constexpr uint32_t kHoverTimerMs = 175;
inline constexpr uint32_t kAutoScrollStepMs = 50;
inline constexpr uint32_t kHoverRestMs = 700;

// Mouse messages of the client and non-client area and keyboard messages.
bool IsInputMessage(uint32_t message);

// What the drag loop does with one message taken from the queue.
enum class TrackAction {
    Dispatch,    // not input: DispatchMessageW and go on
    Cancel,      // Escape or a right press: release the capture, unfinished
    Finish,      // a left or right release: finished, release the capture
    KeyMove,     // other key traffic: OnTrackMove(point, point)
    MouseMove,   // point processing with the message's position
    HoverTick,   // the hover timer
    ScrollTick,  // the auto-scroll timer: point processing with the pointer
    Swallow,     // other input: consumed without effect
};
TrackAction ClassifyTrackMessage(uint32_t message, uintptr_t wParam);

// The nearest multiple of step, halfway values away from zero; a step of 0
// leaves the value alone. A multiple beyond the 32-bit range is replaced by
// the nearest one inside it.
int32_t SnapToGrid(int32_t value, int32_t step);
void SnapPointToGrid(Point& point, const Size& grid);

// Bounds include their right and bottom; x is raised to left before it is
// cut to right, and y likewise.
void ClampPointToBounds(Point& point, const Rect& bounds);

// point + offset, saturated at the 32-bit limits.
Point AddScrollOffset(const Point& point, const Point& offset);

// The signed 16-bit coordinates a mouse message would carry.
Point ToMouseMessagePoint(int32_t x, int32_t y);

// The scroll requests for a pointer outside the client rectangle. A point on
// the right or bottom edge is outside but asks for no scrolling.
struct AutoScrollSteps {
    bool outside;
    bool lineLeft;
    bool lineRight;
    bool lineUp;
    bool lineDown;
};
AutoScrollSteps GetAutoScrollSteps(const Point& point, const Rect& client);

// Milliseconds from since to now on the wrapping 32-bit tick counter.
uint32_t TicksSince(uint32_t now, uint32_t since);

// The rectangle a drag between two corners covers, both corner pixels
// included: normalised, right and bottom one past the larger coordinates
// (saturated at the 32-bit limit).
Rect InclusiveRect(const Rect& corners);

#endif
