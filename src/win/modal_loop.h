// A message loop bound to one top-level window: the code that shows the
// window waits in RunModalLoop until the window's own handlers call
// EndModalLoop, and gets back their result code.
#ifndef GLIMPSER_WIN_MODAL_LOOP_H
#define GLIMPSER_WIN_MODAL_LOOP_H

#include <windows.h>

// Sent with lParam = the MSG just taken from the queue. Answer 1 to drop it,
// 0 to offer it to IsDialogMessageW first, anything else to translate and
// dispatch it directly.
constexpr UINT WM_MODAL_PRETRANSLATE = 0x0464;
// Sent each time the queue is found empty, just before the loop waits.
constexpr UINT WM_MODAL_IDLE = 0x0465;

// Runs until EndModalLoop(window, result) and answers result; answers 0 at
// once for no window, and 0 when a quit message ends the loop (the quit is
// posted again for the enclosing loops) or the window is destroyed under it.
int RunModalLoop(HWND owner, HWND window);

// Ends the innermost loop running on window once the calling handler has
// returned to it. Ignored when no loop runs on window.
void EndModalLoop(HWND window, int result);

#endif
