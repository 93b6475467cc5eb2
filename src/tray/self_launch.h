// Starting new processes of this program, and its start at log-on.
#ifndef GLIMPSER_TRAY_SELF_LAUNCH_H
#define GLIMPSER_TRAY_SELF_LAUNCH_H

#include <cstdint>

#include "tessel/string_core.h"

// Full path of the running executable; empty when it does not fit 260 units, since a cut
// path would name some other file.
Tessel::String GetModulePath();

// Starts this executable again with `switches` and does not wait for it. True when the
// process was created.
bool LaunchSelf(const Tessel::String& switches);

// Starts the capture behind a menu command unless a capture is already running or the last
// launch was less than a second ago. `lastLaunchTicks` (0 = never) is renewed only by a
// successful launch. True when a process was started.
bool LaunchCapture(uint16_t command, uint32_t& lastLaunchTicks);

// True while some process of the program holds the capture mutex.
bool IsCaptureRunning();

// True when the log-on entry exists as a string value, whatever its text.
bool IsRunAtStartup();

// Writes the log-on entry ("\"<path>\" /tray") or deletes it.
void SetRunAtStartup(bool enable);

// Tests run inside an executable that must not start copies of itself at every menu command:
// with a hook set, the command line goes to the hook instead of CreateProcessW and the hook's
// answer is the launch's result. Returns the previous hook; nullptr restores real launches.
using LaunchHook = bool (*)(const Tessel::String& commandLine);
LaunchHook SetLaunchHookForTesting(LaunchHook hook);

#endif
