#include "win/settings.h"

#include <windows.h>

#include "tessel/format.h"
#include "win/registry_readers.h"
#include "win/scoped_win.h"
#include "win/win_text.h"

namespace {

constexpr char kSettingsRoot[] = "Software\\Tarrowby Software\\Glimpser";

Tessel::String KeyPath(const char* section) {
    if (section == nullptr) {
        return Tessel::String(kSettingsRoot);
    }
    return Tessel::Format("%s\\%s", kSettingsRoot, section);
}

ScopedKey OpenForReading(const char* section) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, WStr(ToWide(KeyPath(section))), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        key = nullptr;
    }
    return ScopedKey(key);
}

ScopedKey OpenForWriting(const char* section) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, WStr(ToWide(KeyPath(section))), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        key = nullptr;
    }
    return ScopedKey(key);
}

}  // namespace

int32_t GetSettingInt(const char* section, const char* name, int32_t def) {
    ScopedKey key = OpenForReading(section);
    if (key.Get() == nullptr) {
        return def;
    }
    DWORD type = REG_NONE;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key.Get(), WStr(ToWide(name)), nullptr, &type,
                         reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) {
        return def;
    }
    // A REG_DWORD shorter than four bytes would leave part of the number unset.
    if (type != REG_DWORD || size != sizeof(value)) {
        return def;
    }
    return static_cast<int32_t>(value);
}

void SetSettingInt(const char* section, const char* name, int32_t value) {
    ScopedKey key = OpenForWriting(section);
    if (key.Get() == nullptr) {
        return;
    }
    const DWORD data = static_cast<DWORD>(value);
    RegSetValueExW(key.Get(), WStr(ToWide(name)), 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&data), sizeof(data));
}

Tessel::String GetSettingString(const char* section, const char* name, const Tessel::String& def) {
    // The reader leaves `value` untouched unless it found a well-formed string.
    Tessel::String value = def;
    ReadRegistryString(HKEY_CURRENT_USER, KeyPath(section), name, value);
    return value;
}

void SetSettingString(const char* section, const char* name, const Tessel::String& value) {
    ScopedKey key = OpenForWriting(section);
    if (key.Get() == nullptr || value.IsNull()) {
        return;
    }
    const Tessel::WString wide = ToWide(value);
    const DWORD bytes = static_cast<DWORD>((wide.Length() + 1) * sizeof(char16_t));
    RegSetValueExW(key.Get(), WStr(ToWide(name)), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(wide.CStr()), bytes);
}
