#pragma once
// Text is UTF-8 inside the program; it becomes UTF-16 only in the argument list of the
// platform call, e.g. RegOpenKeyExW(root, WStr(ToWide(path)), ...): the temporary lives
// until the call returns.
#include <windows.h>

#include "tessel/encoding.h"
#include "tessel/string_core.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide unit is 16 bits");

// The text of a wide string for the platform; "" for the null string.
inline const wchar_t* WStr(const Tessel::WString& s) {
    return s.IsNull() ? L"" : reinterpret_cast<const wchar_t*>(s.Text());
}

inline Tessel::WString ToWide(const char* utf8) {
    return Tessel::Utf8ToWide(utf8);
}
inline Tessel::WString ToWide(const Tessel::String& utf8) {
    return Tessel::Utf8ToWide(utf8.Text());
}

inline Tessel::String ToUtf8(const wchar_t* wide) {
    return Tessel::WideToUtf8(reinterpret_cast<const char16_t*>(wide));
}
