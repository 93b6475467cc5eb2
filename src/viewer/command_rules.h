// The choices inside the viewer's commands, as plain functions of command ids
// and values.
#ifndef GLIMPSER_VIEWER_COMMAND_RULES_H
#define GLIMPSER_VIEWER_COMMAND_RULES_H

#include <cstdint>

#include "tessel/string_core.h"

// Milliseconds a capture command waits before the screen is grabbed.
uint32_t CaptureDelayMs(uint16_t command);
// The "Capture Same Region Again" commands reuse the stored region.
bool IsSameRegionCapture(uint16_t command);

// The "Smooth Stretch" item to check: the mode that painting really uses, so
// that an unknown stored value shows as Disabled.
uint16_t CheckedSmoothCommand(int32_t smoothStretch);

// The entry index an "Open &With" command stands for, or -1 when it names no
// entry of a list of count.
int32_t OpenWithIndex(uint16_t command, int32_t count);
// How many entries get a menu item: a command id is 16 bits, and an id past
// that would come back as the id of a different entry.
int32_t OpenWithMenuItemCount(int32_t count);

// The file manager's command line that opens the folder of path with the
// file selected.
Tessel::String ExplorerSelectCommand(const Tessel::String& path);

// The longest command line, in UTF-16 units without its terminator, that
// CreateProcessW accepts.
constexpr int32_t kMaxCommandLineUnits = 32767;

#endif
