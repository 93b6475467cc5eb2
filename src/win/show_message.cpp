#include "win/show_message.h"

#include <windows.h>

#include "win/win_text.h"

namespace {

MessageHook messageHook = nullptr;

}  // namespace

int ShowMessage(const Tessel::String& text, uint32_t flags) {
    if (messageHook != nullptr) {
        return messageHook(text, flags);
    }
    return MessageBoxW(GetActiveWindow(), WStr(ToWide(text)), L"Glimpser", flags);
}

MessageHook SetMessageHookForTesting(MessageHook hook) {
    const MessageHook previous = messageHook;
    messageHook = hook;
    return previous;
}
