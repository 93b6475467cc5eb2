#include "viewer/command_rules.h"

#include "tessel/format.h"
#include "win/command_ids.h"

uint32_t CaptureDelayMs(uint16_t command) {
    switch (command) {
        case ID_CAPTURE_REGION_DELAY5:
        case ID_CAPTURE_SAME_DELAY5:
            return 5000;
        case ID_CAPTURE_REGION_DELAY15:
        case ID_CAPTURE_SAME_DELAY15:
            return 15000;
        default:
            return 0;
    }
}

bool IsSameRegionCapture(uint16_t command) {
    return command == ID_CAPTURE_SAME || command == ID_CAPTURE_SAME_DELAY5 ||
           command == ID_CAPTURE_SAME_DELAY15;
}

uint16_t CheckedSmoothCommand(int32_t smoothStretch) {
    if (smoothStretch == 1 || smoothStretch == 2) {
        return static_cast<uint16_t>(ID_SMOOTH_DISABLED + smoothStretch);
    }
    return ID_SMOOTH_DISABLED;
}

int32_t OpenWithIndex(uint16_t command, int32_t count) {
    if (command < ID_OPEN_WITH_FIRST || command > ID_OPEN_WITH_LAST) {
        return -1;
    }
    int32_t index = command - ID_OPEN_WITH_FIRST;
    return index < count ? index : -1;
}

int32_t OpenWithMenuItemCount(int32_t count) {
    constexpr int32_t kMostItems = 0xFFFF - ID_OPEN_WITH_FIRST + 1;
    return count < kMostItems ? count : kMostItems;
}

Tessel::String ExplorerSelectCommand(const Tessel::String& path) {
    return Tessel::Format("explorer /e,/select,\"%s\"", path.CStr());
}
