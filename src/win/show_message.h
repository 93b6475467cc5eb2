// The program's one way to tell the user something.
#ifndef GLIMPSER_WIN_SHOW_MESSAGE_H
#define GLIMPSER_WIN_SHOW_MESSAGE_H

#include <cstdint>

#include "tessel/string_core.h"

// A message box captioned "Glimpser", owned by the active window; `flags` are MessageBoxW's
// type flags. Returns the button pressed.
int ShowMessage(const Tessel::String& text, uint32_t flags);

// Tests cannot click a message box that blocks their own thread, so they install a hook that
// answers instead. Returns the previous hook; nullptr restores the real message box.
using MessageHook = int (*)(const Tessel::String& text, uint32_t flags);
MessageHook SetMessageHookForTesting(MessageHook hook);

#endif
