#include "win/shell_helpers.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "tessel/string_builder.h"
#include "win/com_start.h"
#include "win/path_exists.h"
#include "win/path_text.h"
#include "win/win_text.h"

Tessel::String GetSpecialFolder(int csidl, const Tessel::String& relative) {
    IMalloc* shellMalloc = nullptr;
    if (FAILED(SHGetMalloc(&shellMalloc))) {
        return Tessel::String("");
    }
    Tessel::String result("");
    PIDLIST_ABSOLUTE location = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl, &location))) {
        wchar_t folder[MAX_PATH] = L"";
        // Under Wine a folder redirected to a drive that is not there comes back as a made-up
        // name: only a folder that exists counts as resolved.
        if (SHGetPathFromIDListW(location, folder) && FolderExists(ToUtf8(folder))) {
            result = JoinPath(ToUtf8(folder), relative);
        }
        shellMalloc->Free(location);
    }
    shellMalloc->Release();
    return result;
}

bool RecycleFiles(const Tessel::List<Tessel::String>& paths) {
    // The shell keeps undo information only for full paths; any other it deletes for good.
    // Each path ends with a zero unit and the list with one more.
    Tessel::StringBuilder<char16_t> list;
    for (const Tessel::String& path : paths) {
        wchar_t full[MAX_PATH];
        const DWORD length = GetFullPathNameW(WStr(ToWide(path)), MAX_PATH, full, nullptr);
        if (length == 0 || length >= MAX_PATH) {
            continue;
        }
        // The shell stops at the first name it cannot find, so only what is there goes in.
        const DWORD attributes = GetFileAttributesW(full);
        if (attributes == INVALID_FILE_ATTRIBUTES ||
            (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
            continue;
        }
        char16_t* room = list.Reserve(static_cast<int>(length) + 1);
        if (room == nullptr) {
            return false;
        }
        std::memcpy(room, full, (length + 1) * sizeof(char16_t));
    }
    char16_t* end = list.Reserve(1);
    if (end == nullptr) {
        return false;
    }
    *end = 0;
    if (list.Length() > 1) {
        // The Recycle Bin is a shell folder made of COM objects.
        StartComOnce();
        SHFILEOPSTRUCTW operation{};
        operation.wFunc = FO_DELETE;
        operation.pFrom = reinterpret_cast<const wchar_t*>(list.Data());
        operation.fFlags = FOF_ALLOWUNDO | FOF_NO_UI;
        SHFileOperationW(&operation);
    }
    // The shell's own answer is no guide: it may stop at one file and leave the rest.
    for (const Tessel::String& path : paths) {
        if (PathExists(path)) {
            return false;
        }
    }
    return true;
}
