#pragma once
// File-type content types in HKEY_CLASSES_ROOT for one test: the guard adds the ones missing
// and takes away exactly what it added. (The test prefixes already have those of the image
// formats, as Windows does.)
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class ScopedContentTypes {
public:
    // Pairs of extension (".png") and content type ("image/png").
    explicit ScopedContentTypes(std::vector<std::pair<std::wstring, std::wstring>> types) {
        for (const auto& [extension, contentType] : types) {
            HKEY key = nullptr;
            DWORD disposition = 0;
            if (RegCreateKeyExW(HKEY_CLASSES_ROOT, extension.c_str(), 0, nullptr, 0,
                                KEY_READ | KEY_WRITE, nullptr, &key,
                                &disposition) != ERROR_SUCCESS) {
                continue;
            }
            if (RegQueryValueExW(key, L"Content Type", nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS) {
                RegSetValueExW(key, L"Content Type", 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(contentType.c_str()),
                               static_cast<DWORD>((contentType.size() + 1) * sizeof(wchar_t)));
                added.push_back({extension, disposition == REG_CREATED_NEW_KEY});
            }
            RegCloseKey(key);
        }
    }
    ~ScopedContentTypes() {
        for (const auto& [extension, createdKey] : added) {
            if (createdKey) {
                RegDeleteKeyW(HKEY_CLASSES_ROOT, extension.c_str());
            } else {
                RegDeleteKeyValueW(HKEY_CLASSES_ROOT, extension.c_str(), L"Content Type");
            }
        }
    }
    ScopedContentTypes(const ScopedContentTypes&) = delete;
    ScopedContentTypes& operator=(const ScopedContentTypes&) = delete;

private:
    std::vector<std::pair<std::wstring, bool>> added;
};
