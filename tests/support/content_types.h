#pragma once
// Registry values changed for one test and put back after it, byte for byte, with their type;
// file-type content types in HKEY_CLASSES_ROOT are the common case (an empty type takes it away,
// as on a system that registers none).
#include <windows.h>

#include <deque>
#include <string>
#include <utility>
#include <vector>

class ScopedRegistryValue {
public:
    // An empty text takes the value away.
    ScopedRegistryValue(HKEY root, std::wstring key, std::wstring name, const std::wstring& text)
        : root(root), key(std::move(key)), name(std::move(name)) {
        HKEY opened = nullptr;
        keyExisted = RegOpenKeyExW(root, this->key.c_str(), 0, KEY_READ, &opened) == ERROR_SUCCESS;
        RegCloseKey(opened);
        hadValue = RegGetValueW(root, this->key.c_str(), this->name.c_str(),
                                RRF_RT_ANY | RRF_NOEXPAND, &type, old, &size) == ERROR_SUCCESS;
        if (text.empty())
            RegDeleteKeyValueW(root, this->key.c_str(), this->name.c_str());
        else
            RegSetKeyValueW(root, this->key.c_str(), this->name.c_str(), REG_SZ, text.c_str(),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    ~ScopedRegistryValue() {
        if (!keyExisted)
            RegDeleteKeyW(root, key.c_str());
        else if (hadValue)
            RegSetKeyValueW(root, key.c_str(), name.c_str(), type, old, size);
        else
            RegDeleteKeyValueW(root, key.c_str(), name.c_str());
    }
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

private:
    HKEY root;
    std::wstring key, name;
    bool keyExisted, hadValue;
    DWORD type = 0;
    BYTE old[1024];
    DWORD size = sizeof old;
};

class ScopedContentTypes {
public:
    // Pairs of extension (".png") and content type ("image/png", or "" for none).
    explicit ScopedContentTypes(const std::vector<std::pair<std::wstring, std::wstring>>& types) {
        for (const auto& [extension, contentType] : types)
            values.emplace_back(HKEY_CLASSES_ROOT, extension, L"Content Type", contentType);
    }

private:
    std::deque<ScopedRegistryValue> values;  // a deque: its guards never move
};
