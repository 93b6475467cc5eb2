#include "win/split_command_line.h"

#include "tessel/string_builder.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

Tessel::List<Tessel::String> SplitCommandLine(const char* text) {
    Tessel::List<Tessel::String> arguments;
    if (text == nullptr) {
        return arguments;
    }
    const char* p = text;
    for (;;) {
        while (IsSpace(*p)) {
            ++p;
        }
        if (*p == '\0') {
            break;
        }
        Tessel::StringBuilder<char> argument;
        bool quoted = false;
        while (*p != '\0' && (quoted || !IsSpace(*p))) {
            if (*p == '"' && p[1] == '"') {
                argument.Write('"');
                p += 2;
            } else if (*p == '"') {
                quoted = !quoted;
                ++p;
            } else {
                argument.Write(*p);
                ++p;
            }
        }
        if (argument.Length() > 0) {
            arguments.Append(argument.ToString());
        }
    }
    return arguments;
}
