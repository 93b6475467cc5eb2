// Read-only registry helpers. Each returns the platform's error code (0 = success) and opens
// and closes its key within the call.
#ifndef GLIMPSER_WIN_REGISTRY_READERS_H
#define GLIMPSER_WIN_REGISTRY_READERS_H

#include <windows.h>

#include "tessel/list.h"
#include "tessel/string_core.h"

// Appends the names of the subkeys of root\path, stopping at the first one that cannot be
// read (a name of 260 units or more included).
LONG EnumRegistrySubkeys(HKEY root, const Tessel::String& path,
                         Tessel::List<Tessel::String>& names);

// Appends the value names of root\path, with the same stopping rule.
LONG EnumRegistryValueNames(HKEY root, const Tessel::String& path,
                            Tessel::List<Tessel::String>& names);

// Reads a REG_SZ or REG_EXPAND_SZ (taken literally) of at most 259 units plus its terminator;
// `valueName` nullptr reads the key's default value. Another type, an odd size or a missing
// terminator gives ERROR_INVALID_DATA. On any failure `out` keeps what it held.
LONG ReadRegistryString(HKEY root, const Tessel::String& path, const char* valueName,
                        Tessel::String& out);

#endif
