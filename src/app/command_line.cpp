#include "app/command_line.h"

#include <cstring>

#include "tessel/parse_int.h"

namespace {

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compares `length` bytes, folding only A-Z, so UTF-8 sequences never match loosely.
bool EqualsFolded(const char* text, const char* lowerCase, int length) {
    for (int i = 0; i < length; ++i) {
        if (FoldAscii(text[i]) != lowerCase[i]) {
            return false;
        }
    }
    return true;
}

bool IsSwitch(const Tessel::String& argument, const char* name) {
    const int length = static_cast<int>(std::strlen(name));
    return argument.Length() == length && EqualsFolded(argument.CStr(), name, length);
}

// On a match, `rest` is the text behind the prefix, still inside `argument`.
bool HasPrefix(const Tessel::String& argument, const char* prefix, const char*& rest,
               int& restLength) {
    const int length = static_cast<int>(std::strlen(prefix));
    if (argument.Length() < length || !EqualsFolded(argument.CStr(), prefix, length)) {
        return false;
    }
    rest = argument.CStr() + length;
    restLength = argument.Length() - length;
    return true;
}

}  // namespace

int32_t DelaySecondsToMs(int32_t seconds) {
    if (seconds <= 0) {
        return 0;
    }
    if (seconds > kMaxDelaySeconds) {
        seconds = kMaxDelaySeconds;
    }
    return seconds * 1000;
}

void ScanArguments(const Tessel::List<Tessel::String>& arguments, LaunchOptions& options,
                   void (*onRunAtStartup)()) {
    for (int i = 1; i < arguments.Count(); ++i) {
        const Tessel::String& argument = arguments[i];
        const char* rest = nullptr;
        int restLength = 0;
        if (IsSwitch(argument, "/tray")) {
            options.tray = true;
        } else if (IsSwitch(argument, "/open")) {
            options.open = true;
        } else if (IsSwitch(argument, "/runatstartup")) {
            if (onRunAtStartup != nullptr) {
                onRunAtStartup();
            }
        } else if (HasPrefix(argument, "/capture:", rest, restLength)) {
            options.captureGiven = true;
            options.sameRegion = restLength == 4 && EqualsFolded(rest, "same", 4);
        } else if (HasPrefix(argument, "/delay:", rest, restLength)) {
            options.delayMs = DelaySecondsToMs(ParseInt(rest, 0));
        }
    }
}
