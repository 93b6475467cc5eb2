// Which job a process does, and the decisions of the capture-then-view mode.
#ifndef GLIMPSER_APP_RUN_MODE_RULES_H
#define GLIMPSER_APP_RUN_MODE_RULES_H

#include <cstdint>

#include "app/command_line.h"

enum class RunMode {
    Tray,             // "/tray", whatever else was given
    Viewer,           // "/open" without "/tray"
    CaptureThenView,  // everything else, the bare start included
};

RunMode ChooseRunMode(const LaunchOptions& options);

// A capture asked for with "/capture:" and then cancelled ends the process; a plain start
// still opens the viewer, without a new image.
bool ViewerFollowsCapture(bool cancelled, bool captureGiven);

#endif
