// The two run modes that end in the viewer.
#ifndef GLIMPSER_APP_RUN_MODES_H
#define GLIMPSER_APP_RUN_MODES_H

#include <windows.h>

#include <cstdint>

// Captures (the stored region again when `sameRegion`), then shows the result
// in the viewer. When the user cancels a capture asked for with "/capture:" no
// viewer is shown.
void RunCaptureThenView(bool sameRegion, int32_t delayMs, bool captureGiven);

// Runs the viewer until it is closed. It takes ownership of `bitmap` (may be
// none); `region` is stored as the last capture region only when a bitmap is
// given.
void RunViewer(HBITMAP bitmap, const RECT& region);

#endif
