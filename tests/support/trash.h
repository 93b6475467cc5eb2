#pragma once
// Wine's Recycle Bin: the XDG Trash in the home folder that scripts/with-wine.sh gives the tests.
#include <windows.h>

#include <filesystem>
#include <string>

// Wine names the home folder "\??\Z:\..." in WINEHOMEDIR.
inline std::filesystem::path TrashFolder() {
    wchar_t home[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"WINEHOMEDIR", home, MAX_PATH);
    const std::wstring folder = home;
    return folder.substr(folder.starts_with(L"\\??\\") ? 4 : 0) + L"\\.local\\share\\Trash";
}

// Whether a file of that name was sent to the Trash.
inline bool InTrash(const std::wstring& name) {
    return std::filesystem::is_regular_file(TrashFolder() / L"files" / name);
}

// Empties the Trash and keeps its folders, so that a name found there was sent by the test.
inline void EmptyTrash() {
    std::error_code error;
    for (const wchar_t* part : {L"files", L"info"}) {
        for (const auto& entry : std::filesystem::directory_iterator(TrashFolder() / part, error)) {
            // A read-only file sent there is read-only still.
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
            std::filesystem::remove_all(entry.path(), error);
        }
    }
}
