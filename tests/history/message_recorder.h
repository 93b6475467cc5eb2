#pragma once
// Stands in for the message box while a test runs and keeps what would have been shown.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "history/show_message.h"

class MessageRecorder {
public:
    MessageRecorder() : previous(SetMessageHookForTesting(Record)) {
        Texts().clear();
        Flags().clear();
    }
    ~MessageRecorder() { SetMessageHookForTesting(previous); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const std::vector<std::string>& Shown() const { return Texts(); }
    const std::vector<uint32_t>& ShownFlags() const { return Flags(); }

private:
    // The hook is a plain function, so what it records lives in statics.
    static std::vector<std::string>& Texts() {
        static std::vector<std::string> texts;
        return texts;
    }
    static std::vector<uint32_t>& Flags() {
        static std::vector<uint32_t> flags;
        return flags;
    }
    static int Record(const Tessel::String& text, uint32_t flags) {
        Texts().push_back(text.CStr());
        Flags().push_back(flags);
        return IDOK;
    }

    MessageHook previous;
};
