// Path text operations on UTF-8 bytes. They never touch the file system; both "\" and "/"
// count as separators.
#ifndef GLIMPSER_WIN_PATH_TEXT_H
#define GLIMPSER_WIN_PATH_TEXT_H

#include "tessel/string_core.h"

// first + one "\" (unless first already ends in a separator) + second without one leading
// separator. An absolute second part is appended like any other text.
Tessel::String JoinPath(const Tessel::String& first, const Tessel::String& second);

// The text after the last separator: the whole path when there is none, empty when the path
// ends in one.
Tessel::String GetFileNamePart(const Tessel::String& path);

// ".png" for "a\b.png": from the last dot after the last separator, the dot included;
// empty when there is no such dot.
Tessel::String GetExtension(const Tessel::String& path);

// The root of the drive or share that a full path lies on, with a separator behind it: "C:\"
// for "C:\Pics" or "c:", "\\server\share\" for "\\server\share\Pics". Empty for a path that
// names neither (a relative one, or one rooted on the current drive).
Tessel::String GetPathRoot(const Tessel::String& path);

#endif
