// How the tray turns a menu command into a new process of this program, and when it refuses to.
#ifndef GLIMPSER_TRAY_LAUNCH_RULES_H
#define GLIMPSER_TRAY_LAUNCH_RULES_H

#include <cstdint>

#include "tessel/string_core.h"

// Capture requests closer together than this to the last launch are dropped, so that a
// double click on the icon starts one capture, not two.
constexpr uint32_t kLaunchDebounceMs = 1000;

// UTF-16 units of the command-line buffer of a launched process, terminator included.
constexpr int kLaunchLineUnits = 324;

// The switches that start the capture behind a menu command; an unknown command gets a
// plain region capture.
const char* CaptureSwitches(uint16_t command);

// True when a capture request at `now` must be dropped because the last successful launch
// was less than kLaunchDebounceMs earlier. `lastLaunchTicks` 0 means none yet. Unsigned
// arithmetic keeps the answer right when the tick counter wraps between the two.
bool IsLaunchDebounced(uint32_t lastLaunchTicks, uint32_t now);

// "\"<module path>\" <switches>": the path quoted so that spaces in it stay one argument.
// Also the text of the log-on entry, with the switch "/tray".
Tessel::String FormatSelfCommand(const Tessel::String& modulePath, const char* switches);

// The command line as the UTF-16 text handed to CreateProcessW, or a null string when it
// would not fit kLaunchLineUnits: a cut line would start the wrong program or the wrong mode.
Tessel::WString ToLaunchLine(const Tessel::String& command);

#endif
