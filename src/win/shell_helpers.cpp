#include "win/shell_helpers.h"

#include <windows.h>
#include <shlobj.h>

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
