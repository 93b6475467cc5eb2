// The switch grammar of the command line.
#ifndef GLIMPSER_APP_COMMAND_LINE_H
#define GLIMPSER_APP_COMMAND_LINE_H

#include <cstdint>

#include "tessel/list.h"
#include "tessel/string_core.h"

struct LaunchOptions {
    bool tray = false;
    bool open = false;
    bool captureGiven = false;
    bool sameRegion = false;
    int32_t delayMs = 0;
};

// The longest delay whose milliseconds fit a signed 32-bit count (about 24.8 days).
constexpr int32_t kMaxDelaySeconds = INT32_MAX / 1000;

// Turns the seconds of "/delay:" into milliseconds: negative gives 0, anything above
// kMaxDelaySeconds is clamped, so the product never leaves the 32-bit range.
int32_t DelaySecondsToMs(int32_t seconds);

// Scans the arguments after the program path (element 0 is skipped) into `options`.
// "/runatstartup" calls `onRunAtStartup` at once, while scanning, and chooses no mode.
void ScanArguments(const Tessel::List<Tessel::String>& arguments, LaunchOptions& options,
                   void (*onRunAtStartup)());

#endif
