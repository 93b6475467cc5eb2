#pragma once
// Wine's Recycle Bin: the XDG Trash in the home folder that scripts/with-wine.sh gives the tests.
#include <windows.h>

#include <filesystem>
#include <string>

// The Trash's folder of sent files. Wine names the home folder "\??\Z:\..." in WINEHOMEDIR.
inline std::wstring TrashFilesFolder() {
    wchar_t home[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"WINEHOMEDIR", home, MAX_PATH);
    std::wstring folder = home;
    if (folder.starts_with(L"\\??\\"))
        folder.erase(0, 4);
    return folder + L"\\.local\\share\\Trash\\files";
}

// Whether a file of that name was sent to the Trash.
inline bool InTrash(const std::wstring& name) {
    return std::filesystem::is_regular_file(TrashFilesFolder() + L"\\" + name);
}

// Empties the Trash and keeps its folders, so that a name found there was sent by the test.
inline void EmptyTrash() {
    const std::filesystem::path files = TrashFilesFolder();
    std::error_code error;
    for (const std::filesystem::path& part : {files, files.parent_path() / L"info"}) {
        for (const auto& entry : std::filesystem::directory_iterator(part, error)) {
            // A read-only file sent there is read-only still.
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
            std::filesystem::remove_all(entry.path(), error);
        }
    }
}
