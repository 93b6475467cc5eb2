// Whether anything, file or folder, is at a path.
#ifndef GLIMPSER_WIN_PATH_EXISTS_H
#define GLIMPSER_WIN_PATH_EXISTS_H

#include "tessel/string_core.h"

bool PathExists(const Tessel::String& path);
// Whether a folder, not a file, is at a path.
bool FolderExists(const Tessel::String& path);

#endif
