// The shell's special folders and its Recycle Bin.
#ifndef GLIMPSER_WIN_SHELL_HELPERS_H
#define GLIMPSER_WIN_SHELL_HELPERS_H

#include "tessel/list.h"
#include "tessel/string_core.h"

// The folder's path joined with `relative` (when not empty). The folder is not created.
// When the shell cannot resolve the folder to an existing file-system folder the result is
// empty, so that nobody mistakes `relative` alone for a path under the current directory.
Tessel::String GetSpecialFolder(int csidl, const Tessel::String& relative);

// Moves the files to the Recycle Bin in one shell operation that shows nothing of its own: no
// question, no progress, no error. Where a file's drive has no Recycle Bin the shell deletes it
// for good. The shell is given only what DeleteFileW would delete: a folder (which it would
// take whole) and a read-only file stay where they are. True when none of the paths names
// anything afterwards.
bool RecycleFiles(const Tessel::List<Tessel::String>& paths);

#endif
