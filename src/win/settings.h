// Per-user settings in HKEY_CURRENT_USER "Software\Tarrowby Software\Glimpser". Every call
// opens and closes the key afresh, so values written by one process are seen by the next
// read in any process. Readers never fail and never create the key.
#ifndef GLIMPSER_WIN_SETTINGS_H
#define GLIMPSER_WIN_SETTINGS_H

#include <cstdint>

#include "tessel/string_core.h"

// `section` nullptr means the root key itself.

// The stored REG_DWORD, else `def`.
int32_t GetSettingInt(const char* section, const char* name, int32_t def);
void SetSettingInt(const char* section, const char* name, int32_t value);

// The stored REG_SZ or REG_EXPAND_SZ (unexpanded) of at most 259 units, else a copy of `def`.
Tessel::String GetSettingString(const char* section, const char* name, const Tessel::String& def);
// A null `value` writes nothing, though the key is still created.
void SetSettingString(const char* section, const char* name, const Tessel::String& value);

#endif
