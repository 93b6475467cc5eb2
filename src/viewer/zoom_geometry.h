// The viewer's view arithmetic as plain functions over integers: zoom steps,
// the zoomed size, fitting and placing the window, scroll steps, the wheel,
// dragging, where the image is painted and whether it is smoothed.
#ifndef GLIMPSER_VIEWER_ZOOM_GEOMETRY_H
#define GLIMPSER_VIEWER_ZOOM_GEOMETRY_H

#include <cstdint>

#include "tessel/string_core.h"
#include "win/rect.h"

inline constexpr int32_t ZoomSteps[] = {50,  100,  120,  150,  200,  250,  300,  400,  500, 600,
                                        800, 1000, 1200, 1500, 2000, 2500, 3000, 4000, 5000};
inline constexpr int32_t kZoomStepCount = sizeof(ZoomSteps) / sizeof(ZoomSteps[0]);
inline constexpr int32_t kZoom100Index = 1;

// A zoomed extent never exceeds this, so that adding a window frame, a window
// position or a scroll position to it still fits in 32 bits.
inline constexpr int32_t kMaxZoomedExtent = 0x3FFFFFFF;

// Without an image the window is fitted as if to a 100 by 100 image.
inline constexpr int32_t kPlaceholderExtent = 100;

int32_t ClampZoomIndex(int32_t index);

// "Glimpser (%i%%)" for the zoom step at index.
Tessel::String ZoomTitle(int32_t index);

// percent × extent / 100, truncated, worked out in 64 bits and limited to
// 0..kMaxZoomedExtent.
int32_t ZoomedExtent(int32_t extent, int32_t percent);
Size ZoomedSize(Size image, int32_t percent);

// Fits when the outer window size is within nine tenths of the work area.
bool FitsWorkArea(Size outer, const Rect& workArea);

struct FitDecision {
    bool maximize;        // ShowWindow(SW_MAXIMIZE)
    bool restore;         // ShowWindow(SW_RESTORE)
    bool place;           // size and move the window to the image
    bool maximizedByFit;  // the new value of the flag
};
FitDecision DecideFit(bool fits, int32_t percent, bool maximized, bool maximizedByFit);

// The window of the given outer size at topLeft, pulled left and then up just
// far enough to keep its right and bottom edges inside the work area.
Rect PlaceWindow(Size outer, Point topLeft, const Rect& workArea);

// Scroll-bar request codes, the same numbers as the platform's SB_ values.
enum ScrollCode : int32_t {
    kScrollLineUp = 0,
    kScrollLineDown = 1,
    kScrollPageUp = 2,
    kScrollPageDown = 3,
    kScrollThumbPosition = 4,
    kScrollThumbTrack = 5,
    kScrollTop = 6,
    kScrollBottom = 7,
};

// The position a scroll-bar request asks for; false when it asks for none.
// The bar itself limits the answer to its range.
bool ScrollTarget(int32_t code, int32_t current, int32_t clientExtent, int32_t trackPosition,
                  int32_t& target);

enum class ScrollAxis { kNone, kHorizontal, kVertical };
struct KeyScroll {
    ScrollAxis axis;
    int32_t code;
};
// The scroll request a key stands for (arrows, Page Up, Page Down; with Ctrl
// the page keys go sideways).
KeyScroll MapScrollKey(uint32_t virtualKey, bool controlHeld);

// Whole wheel notches in delta plus what was left over; keeps the rest in
// remainder. A change of direction drops the old rest.
int32_t WheelSteps(int16_t delta, int32_t& remainder);

// Without scroll bars and not maximized, a drag moves the window; else it pans.
bool DragMovesWindow(bool hasHorizontalBar, bool hasVerticalBar, bool maximized);
Point DragWindowPosition(Point startWindow, Point start, Point current);
Point DragScrollPosition(Point startScroll, Point start, Point current, bool hasHorizontalBar,
                         bool hasVerticalBar);

// Where the image starts in the client area on one axis: centred while it is
// smaller than the client, else shifted by the scroll position.
int32_t PaintOrigin(int32_t clientExtent, int32_t zoomedExtent, int32_t scrollPosition);

bool UsesSmoothStretch(int32_t mode, int32_t percent);

#endif
