#pragma once
// One complete capture: wait out the delay, freeze the whole virtual screen (every monitor), or
// only the region when the same region is taken again, optionally with the mouse pointer, let
// the user choose a rectangle on the overlay and cut it out as a new bitmap.
#include <windows.h>

#include <cstdint>

#include "win/rect.h"

// Exists while any session runs, so that the tray launches no second capture meanwhile.
inline constexpr const wchar_t* kCaptureMutexName = L"TarrowbySoftware.Glimpser.Capturing";

// region: empty asks the user to draw (and receives the drawn rectangle on success); not empty
// cuts that region as soon as the overlay has seen the mouse. cancelled (may be null) is set
// when the overlay ends in any way but accepted. Answers the cut-out bitmap, which the caller
// owns, or null when cancelled or when the accepted rectangle is empty (a click without a drag).
HBITMAP RunCaptureSession(uint32_t delayMs, bool includeCursor, RECT& region, bool* cancelled);

// A bitmap compatible with the display holding the screen pixels of the screen rectangle r.
HBITMAP GrabScreen(const RECT& r);

// A new bitmap of r's size holding source's pixels from r. What lies outside source is black.
// Null for an empty region or one too large for a bitmap.
HBITMAP CropBitmap(HBITMAP source, const RECT& r);

// The last region stored as "CaptureRegion", or 0,0,0,0.
Rect LoadCaptureRegion();
void SaveCaptureRegion(const Rect& region);
