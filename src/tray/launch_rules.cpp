#include "tray/launch_rules.h"

#include "tessel/encoding.h"
#include "tessel/format.h"
#include "win/command_ids.h"

const char* CaptureSwitches(uint16_t command) {
    switch (command) {
        case ID_CAPTURE_REGION_DELAY5:
            return "/capture:region /delay:5";
        case ID_CAPTURE_REGION_DELAY15:
            return "/capture:region /delay:15";
        case ID_CAPTURE_SAME:
            return "/capture:same";
        case ID_CAPTURE_SAME_DELAY5:
            return "/capture:same /delay:5";
        case ID_CAPTURE_SAME_DELAY15:
            return "/capture:same /delay:15";
        default:
            return "/capture:region";
    }
}

bool IsLaunchDebounced(uint32_t lastLaunchTicks, uint32_t now) {
    return lastLaunchTicks != 0 && static_cast<uint32_t>(now - lastLaunchTicks) < kLaunchDebounceMs;
}

Tessel::String FormatSelfCommand(const Tessel::String& modulePath, const char* switches) {
    return Tessel::Format("\"%s\" %s", modulePath.CStr(), switches);
}

Tessel::WString ToLaunchLine(const Tessel::String& command) {
    Tessel::WString line = Tessel::Utf8ToWide(command.CStr());
    if (line.Length() >= kLaunchLineUnits) {
        return Tessel::WString();
    }
    return line;
}
