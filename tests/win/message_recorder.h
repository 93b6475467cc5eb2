#pragma once
// Stands in for the message box while a test runs and keeps what would have been shown.
#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "win/show_message.h"

// Text and flags of each message, in order.
using ShownMessages = std::vector<std::pair<std::string, uint32_t>>;

class MessageRecorder {
public:
    MessageRecorder() : previous(SetMessageHookForTesting(Record)) {
        log.clear();
        answer = IDOK;
    }
    ~MessageRecorder() { SetMessageHookForTesting(previous); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    // The messages shown since the last look, which starts afresh.
    ShownMessages Take() const { return std::exchange(log, {}); }
    // How the user answers every message from now on.
    void Answer(int button) const { answer = button; }

private:
    // The hook is a plain function, so what it records lives in statics.
    static inline ShownMessages log;
    static inline int answer = IDOK;
    static int Record(const Tessel::String& text, uint32_t flags) {
        log.emplace_back(text.CStr(), flags);
        return answer;
    }

    MessageHook previous;
};
