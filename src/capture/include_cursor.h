// Whether a capture draws the mouse pointer into its image.
#ifndef GLIMPSER_CAPTURE_INCLUDE_CURSOR_H
#define GLIMPSER_CAPTURE_INCLUDE_CURSOR_H

#include <cstdint>

// Only a delayed capture can show the pointer: during an immediate one the user's hand is on
// the mouse, drawing. `includeCursorSetting` is the "IncludeCursor" value.
bool CaptureIncludesCursor(int32_t delayMs, int32_t includeCursorSetting);

#endif
