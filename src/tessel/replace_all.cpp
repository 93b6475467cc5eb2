#include "tessel/replace_all.h"

#include <cstring>

#include "tessel/string_builder.h"

Tessel::String ReplaceAll(const Tessel::String& text, const Tessel::String& pattern,
                          const Tessel::String& replacement) {
    const int patternLength = pattern.Length();
    if (patternLength == 0) {
        return text;
    }
    const char* source = text.CStr();
    const int length = text.Length();
    Tessel::StringBuilder<char> result;
    int i = 0;
    while (i < length) {
        if (length - i >= patternLength &&
            std::memcmp(source + i, pattern.CStr(), static_cast<size_t>(patternLength)) == 0) {
            result.Append(replacement);
            i += patternLength;
        } else {
            result.Write(source[i]);
            ++i;
        }
    }
    return result.ToString();
}
