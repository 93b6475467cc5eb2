#include "app/run_mode_rules.h"

RunMode ChooseRunMode(const LaunchOptions& options) {
    if (options.tray) {
        return RunMode::Tray;
    }
    if (options.open) {
        return RunMode::Viewer;
    }
    // A bare start needs no case of its own: with nothing scanned the options are all
    // cleared, which is exactly a capture of a new region with no delay.
    return RunMode::CaptureThenView;
}

bool ViewerFollowsCapture(bool cancelled, bool captureGiven) {
    return !(cancelled && captureGiven);
}
