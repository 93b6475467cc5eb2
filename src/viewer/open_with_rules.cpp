#include "viewer/open_with_rules.h"

#include "win/path_text.h"
#include "win/split_command_line.h"

namespace {

unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Compares at most `limit` bytes of the two texts (or up to the end of either) with ASCII
// letters folded; negative, zero or positive like strcmp.
int CompareFolded(const char* a, const char* b, int limit) {
    for (int i = 0; i < limit; ++i) {
        const unsigned char ca = FoldAscii(static_cast<unsigned char>(a[i]));
        const unsigned char cb = FoldAscii(static_cast<unsigned char>(b[i]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
        if (ca == '\0') {
            return 0;
        }
    }
    return 0;
}

constexpr int kUnlimited = 0x7fffffff;

bool StartsWithFolded(const Tessel::String& text, const char* prefix, int prefixLength) {
    return text.Length() >= prefixLength && CompareFolded(text.CStr(), prefix, prefixLength) == 0;
}

bool EqualsFolded(const Tessel::String& text, const char* other) {
    return CompareFolded(text.CStr(), other, kUnlimited) == 0;
}

}  // namespace

Tessel::String ProgramTitle(const Tessel::String& program) {
    const Tessel::String name = GetFileNamePart(program);
    const Tessel::String extension = GetExtension(name);
    return name.Substring(0, name.Length() - extension.Length());
}

bool NameOpenWithCommand(const Tessel::String& command, DescribeProgram describe,
                         Tessel::String& name) {
    const Tessel::List<Tessel::String> arguments = SplitCommandLine(command.CStr());
    if (arguments.Count() == 0) {
        return false;
    }
    const Tessel::String& program = arguments[0];
    const Tessel::String description = describe(program);
    if (!description.IsEmpty()) {
        name = description;
        return true;
    }
    const Tessel::String title = ProgramTitle(program);
    // A title shorter than "rundll" is compared whole, and so never matches it.
    if (title.IsEmpty() || StartsWithFolded(title, "rundll", 6) || EqualsFolded(title, "Program")) {
        return false;
    }
    name = title;
    return true;
}

bool IsSkippedVerb(const Tessel::String& verb) {
    return EqualsFolded(verb, "printto") || EqualsFolded(verb, "open") ||
           EqualsFolded(verb, "edit");
}

int CompareOpenWithNames(const Tessel::String& a, const Tessel::String& b) {
    return CompareFolded(a.CStr(), b.CStr(), kUnlimited);
}
