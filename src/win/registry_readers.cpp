#include "win/registry_readers.h"

#include "tessel/encoding.h"
#include "win/scoped_win.h"
#include "win/win_text.h"

namespace {

// Names and values we read are bounded by this many UTF-16 units, terminator included.
constexpr DWORD kMaxUnits = 260;

LONG OpenForReading(HKEY root, const Tessel::String& path, ScopedKey& key) {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExW(root, WStr(ToWide(path)), 0, KEY_READ, &opened);
    if (status == ERROR_SUCCESS) {
        key = ScopedKey(opened);
    }
    return status;
}

// Appends names read by `readName` (into a buffer of kMaxUnits) until the first failure.
LONG EnumNames(HKEY root, const Tessel::String& path, Tessel::List<Tessel::String>& names,
               LONG (*readName)(HKEY key, DWORD index, wchar_t* name)) {
    ScopedKey key;
    const LONG status = OpenForReading(root, path, key);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    wchar_t name[kMaxUnits];
    for (DWORD index = 0; readName(key.Get(), index, name) == ERROR_SUCCESS; ++index) {
        names.Append(ToUtf8(name));
    }
    return ERROR_SUCCESS;
}

}  // namespace

LONG EnumRegistrySubkeys(HKEY root, const Tessel::String& path,
                         Tessel::List<Tessel::String>& names) {
    return EnumNames(root, path, names, [](HKEY key, DWORD index, wchar_t* name) -> LONG {
        return RegEnumKeyW(key, index, name, kMaxUnits);
    });
}

LONG EnumRegistryValueNames(HKEY root, const Tessel::String& path,
                            Tessel::List<Tessel::String>& names) {
    return EnumNames(root, path, names, [](HKEY key, DWORD index, wchar_t* name) -> LONG {
        DWORD length = kMaxUnits;
        return RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    });
}

LONG ReadRegistryString(HKEY root, const Tessel::String& path, const char* valueName,
                        Tessel::String& out) {
    ScopedKey key;
    LONG status = OpenForReading(root, path, key);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    char16_t buffer[kMaxUnits];
    DWORD type = REG_NONE;
    DWORD size = sizeof(buffer);
    const Tessel::WString wideName = valueName != nullptr ? ToWide(valueName) : Tessel::WString();
    status = RegQueryValueExW(key.Get(), wideName.IsNull() ? nullptr : WStr(wideName), nullptr,
                              &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        return ERROR_INVALID_DATA;
    }
    if (size == 0) {
        out = Tessel::String("");
        return ERROR_SUCCESS;
    }
    if (size % sizeof(char16_t) != 0 || buffer[size / sizeof(char16_t) - 1] != u'\0') {
        return ERROR_INVALID_DATA;
    }
    out = Tessel::WideToUtf8(buffer);
    return ERROR_SUCCESS;
}
