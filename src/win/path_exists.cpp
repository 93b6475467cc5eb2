#include "win/path_exists.h"

#include <windows.h>

#include "win/win_text.h"

bool PathExists(const Tessel::String& path) {
    return GetFileAttributesW(WStr(ToWide(path))) != INVALID_FILE_ATTRIBUTES;
}

bool FolderExists(const Tessel::String& path) {
    const DWORD attributes = GetFileAttributesW(WStr(ToWide(path)));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
