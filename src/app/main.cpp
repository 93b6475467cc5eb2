// Process entry: one process, one job, chosen by the command line.
#include <windows.h>

#include "app/command_line.h"
#include "app/run_mode_rules.h"
#include "app/run_modes.h"
#include "tray/self_launch.h"
#include "tray/tray_window.h"
#include "win/com_start.h"
#include "win/split_command_line.h"
#include "win/win_text.h"

namespace {

void RegisterRunAtStartup() {
    SetRunAtStartup(true);
}

int RunChosenMode(const LaunchOptions& options) {
    switch (ChooseRunMode(options)) {
        case RunMode::Tray:
            return RunTray();
        case RunMode::Viewer:
            RunViewer(nullptr, RECT{0, 0, 0, 0});
            return 0;
        case RunMode::CaptureThenView:
            RunCaptureThenView(options.sameRegion, options.delayMs, options.captureGiven);
            return 0;
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    SetProcessDPIAware();

    const Tessel::List<Tessel::String> arguments =
        SplitCommandLine(ToUtf8(GetCommandLineW()).CStr());
    LaunchOptions options;
    ScanArguments(arguments, options, RegisterRunAtStartup);
    const int exitCode = RunChosenMode(options);

    EndCom();
    return exitCode;
}
