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
            HKEY key = nullptr;
            DWORD disposition = 0;
            if (RegCreateKeyExW(HKEY_CLASSES_ROOT, extension.c_str(), 0, nullptr, 0, KEY_READ,
                                nullptr, &key, &disposition) != ERROR_SUCCESS)
                continue;
            RegCloseKey(key);
            wchar_t value[260] = L"";
            DWORD size = sizeof value;
            const bool hadType =
                RegGetValueW(HKEY_CLASSES_ROOT, extension.c_str(), L"Content Type", RRF_RT_REG_SZ,
                             nullptr, value, &size) == ERROR_SUCCESS;
            changed.push_back(
                {extension, hadType ? value : L"", disposition == REG_CREATED_NEW_KEY});
            Set(extension, contentType);
        }
    }
    ~ScopedContentTypes() {
        for (const Previous& previous : changed) {
            if (previous.createdKey)
                RegDeleteKeyW(HKEY_CLASSES_ROOT, previous.extension.c_str());
            else
                Set(previous.extension, previous.type);
        }
    }
    ScopedContentTypes(const ScopedContentTypes&) = delete;
    ScopedContentTypes& operator=(const ScopedContentTypes&) = delete;

private:
    struct Previous {
        std::wstring extension;
        std::wstring type;  // "" when there was none
        bool createdKey;
    };

    static void Set(const std::wstring& extension, const std::wstring& type) {
        if (type.empty())
            RegDeleteKeyValueW(HKEY_CLASSES_ROOT, extension.c_str(), L"Content Type");
        else
            RegSetKeyValueW(HKEY_CLASSES_ROOT, extension.c_str(), L"Content Type", REG_SZ,
                            type.c_str(), static_cast<DWORD>((type.size() + 1) * sizeof(wchar_t)));
    }

    std::vector<Previous> changed;
};
