#include "imaging/temporary_name.h"

#include <cstring>

#include "tessel/format.h"
#include "win/path_text.h"

namespace {

constexpr char kSuffix[] = ".tmp";
constexpr int kSuffixLength = sizeof(kSuffix) - 1;
constexpr int kMostHexDigits = 8;

// The value of a lowercase hex digit as %x writes it, or -1.
int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

}  // namespace

Tessel::String TemporaryFileName(const Tessel::String& finalName, uint32_t processId) {
    const Tessel::String stem =
        finalName.Substring(0, finalName.Length() - GetExtension(finalName).Length());
    return Tessel::Format("~%s.%x%s", stem.CStr(), static_cast<unsigned>(processId), kSuffix);
}

bool ParseTemporaryFileName(const Tessel::String& name, Tessel::String& stem, uint32_t& processId) {
    const char* text = name.CStr();
    const int length = name.Length();
    if (length < 1 + kSuffixLength || text[0] != '~' ||
        std::strcmp(text + length - kSuffixLength, kSuffix) != 0) {
        return false;
    }
    const int end = length - kSuffixLength;
    int dot = end - 1;
    while (dot > 0 && text[dot] != '.') {
        --dot;
    }
    const int digits = end - dot - 1;
    // The stem is what %s wrote: at least one character, so "~.1a.tmp" is nobody's.
    if (dot <= 1 || digits < 1 || digits > kMostHexDigits || (digits > 1 && text[dot + 1] == '0')) {
        return false;
    }
    uint32_t value = 0;
    for (int i = dot + 1; i < end; ++i) {
        const int digit = HexDigit(text[i]);
        if (digit < 0) {
            return false;
        }
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    stem = name.Substring(1, dot - 1);
    processId = value;
    return true;
}
