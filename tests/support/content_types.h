#pragma once
// File-type content types in HKEY_CLASSES_ROOT for one test: the guard sets each extension's
// "Content Type" (an empty type takes it away, as on a system that registers none) and puts
// back what was there before.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class ScopedContentTypes {
public:
    // Pairs of extension (".png") and content type ("image/png", or "" for none).
    explicit ScopedContentTypes(const std::vector<std::pair<std::wstring, std::wstring>>& types) {
        for (const auto& [extension, contentType] : types) {
            Previous previous{extension, {}, false, false};
            HKEY key = nullptr;
            DWORD disposition = 0;
            if (RegCreateKeyExW(HKEY_CLASSES_ROOT, extension.c_str(), 0, nullptr, 0,
                                KEY_READ | KEY_WRITE, nullptr, &key,
                                &disposition) != ERROR_SUCCESS) {
                continue;
            }
            previous.createdKey = disposition == REG_CREATED_NEW_KEY;
            wchar_t value[260] = L"";
            DWORD size = sizeof(value) - sizeof(wchar_t);
            previous.hadType =
                RegQueryValueExW(key, L"Content Type", nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS;
            previous.type = value;
            Set(key, contentType);
            RegCloseKey(key);
            changed.push_back(std::move(previous));
        }
    }
    ~ScopedContentTypes() {
        for (const Previous& previous : changed) {
            if (previous.createdKey) {
                RegDeleteKeyW(HKEY_CLASSES_ROOT, previous.extension.c_str());
                continue;
            }
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_CLASSES_ROOT, previous.extension.c_str(), 0, KEY_WRITE, &key) ==
                ERROR_SUCCESS) {
                Set(key, previous.hadType ? previous.type : L"");
                RegCloseKey(key);
            }
        }
    }
    ScopedContentTypes(const ScopedContentTypes&) = delete;
    ScopedContentTypes& operator=(const ScopedContentTypes&) = delete;

private:
    struct Previous {
        std::wstring extension;
        std::wstring type;
        bool hadType;
        bool createdKey;
    };

    static void Set(HKEY key, const std::wstring& type) {
        if (type.empty()) {
            RegDeleteValueW(key, L"Content Type");
        } else {
            RegSetValueExW(key, L"Content Type", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(type.c_str()),
                           static_cast<DWORD>((type.size() + 1) * sizeof(wchar_t)));
        }
    }

    std::vector<Previous> changed;
};
