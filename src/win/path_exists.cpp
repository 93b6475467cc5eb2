#include "win/path_exists.h"

#include <windows.h>

#include "win/win_text.h"

bool PathExists(const Tessel::String& path) {
    return GetFileAttributesW(WStr(ToWide(path))) != INVALID_FILE_ATTRIBUTES;
}
