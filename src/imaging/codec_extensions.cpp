#include "imaging/codec_extensions.h"

namespace {

char16_t FoldCase(char16_t unit) {
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

}  // namespace

bool CodecPatternsInclude(const char16_t* patterns, const char16_t* extension) {
    if (patterns == nullptr || extension == nullptr || *extension == 0) {
        return false;
    }
    const char16_t* pattern = patterns;
    for (;;) {
        // Compare "*" + extension with the pattern up to its end or the next ';'.
        const char16_t* p = pattern;
        bool same = *p++ == u'*';
        const char16_t* e = extension;
        for (; same && *e != 0; ++p, ++e) {
            same = FoldCase(*p) == FoldCase(*e);
        }
        if (same && (*p == 0 || *p == u';')) {
            return true;
        }
        while (*pattern != 0 && *pattern != u';') {
            ++pattern;
        }
        if (*pattern == 0) {
            return false;
        }
        ++pattern;
    }
}
