// The shell's special folders.
#ifndef GLIMPSER_WIN_SHELL_HELPERS_H
#define GLIMPSER_WIN_SHELL_HELPERS_H

#include "tessel/string_core.h"

// The folder's path joined with `relative` (when not empty). The folder is not created.
// When the shell cannot resolve the folder to an existing file-system folder the result is
// empty, so that nobody mistakes `relative` alone for a path under the current directory.
Tessel::String GetSpecialFolder(int csidl, const Tessel::String& relative);

#endif
