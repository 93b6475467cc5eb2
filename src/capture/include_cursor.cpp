#include "capture/include_cursor.h"

bool CaptureIncludesCursor(int32_t delayMs, int32_t includeCursorSetting) {
    return delayMs != 0 && includeCursorSetting != 0;
}
