#include "win/path_text.h"

#include "tessel/string_builder.h"

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Index of the last separator, or -1.
int FindLastSeparator(const Tessel::String& path) {
    const char* text = path.CStr();
    for (int i = path.Length() - 1; i >= 0; --i) {
        if (IsSeparator(text[i])) {
            return i;
        }
    }
    return -1;
}

}  // namespace

Tessel::String JoinPath(const Tessel::String& first, const Tessel::String& second) {
    if (first.IsEmpty()) {
        return second;
    }
    if (second.IsEmpty()) {
        return first;
    }
    Tessel::StringBuilder<char> joined;
    joined.Append(first);
    if (!IsSeparator(first.CStr()[first.Length() - 1])) {
        joined.Write('\\');
    }
    const int skip = IsSeparator(second.CStr()[0]) ? 1 : 0;
    joined.Append(second.CStr() + skip, second.Length() - skip);
    return joined.ToString();
}

Tessel::String GetFileNamePart(const Tessel::String& path) {
    const int start = FindLastSeparator(path) + 1;
    return Tessel::String(path.CStr() + start, path.Length() - start);
}

Tessel::String GetExtension(const Tessel::String& path) {
    const char* text = path.CStr();
    const int nameStart = FindLastSeparator(path) + 1;
    for (int i = path.Length() - 1; i >= nameStart; --i) {
        if (text[i] == '.') {
            return Tessel::String(text + i, path.Length() - i);
        }
    }
    return Tessel::String("");
}

Tessel::String GetPathRoot(const Tessel::String& path) {
    const char* text = path.CStr();
    const int length = path.Length();
    Tessel::StringBuilder<char> root;
    if (length >= 2 && text[1] == ':' &&
        ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'))) {
        root.Append(text, 2);
        root.Write('\\');
        return root.ToString();
    }
    if (length < 3 || !IsSeparator(text[0]) || !IsSeparator(text[1]) || IsSeparator(text[2])) {
        return Tessel::String("");
    }
    // A share: the server's name, a separator and the share's name, which ends at the next
    // separator or with the path.
    int end = 2;
    while (end < length && !IsSeparator(text[end])) {
        ++end;
    }
    int shareEnd = end + 1;
    while (shareEnd < length && !IsSeparator(text[shareEnd])) {
        ++shareEnd;
    }
    if (shareEnd <= end + 1 || shareEnd > length) {
        return Tessel::String("");
    }
    root.Append(text, shareEnd);
    root.Write('\\');
    return root.ToString();
}
