#pragma once
// A fresh folder under the temporary directory for one test, removed with all it holds
// when the test ends.
#include <windows.h>

#include <filesystem>
#include <string>

class TempFolder {
public:
    TempFolder() {
        const std::wstring base =
            (std::filesystem::temp_directory_path() / L"glimpser-test-").wstring() +
            std::to_wstring(GetCurrentProcessId()) + L"-";
        // A folder left behind by an earlier process with the same id is not ours.
        for (unsigned n = 0; !std::filesystem::create_directory(path = base + std::to_wstring(n));)
            ++n;
    }
    ~TempFolder() {
        std::error_code error;
        // Tests make read-only files; the folder goes all the same.
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path, error))
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(path, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return path; }
    std::wstring operator/(const std::wstring& name) const { return path + L"\\" + name; }

private:
    std::wstring path;
};
