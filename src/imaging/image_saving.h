#pragma once
// Writing images to disk in the format their file name asks for, and asking the user for one.
#include <windows.h>

#include <shobjidl.h>

#include <cstdint>

#include "tessel/string_core.h"

// Whether a save may replace a file that already exists at its path. History captures keep
// it: a file there belongs to someone else. Save As replaces it: the dialog has asked.
enum class ExistingFile { Keep, Replace };

// Encodes the bitmap into path in the format its extension names. ".png" goes through the
// program's own encoder as 8-bit RGB, written whole or not at all; the other formats through
// the GDI+ encoder whose MIME type is the registry's "Content Type" of the extension, or with
// no content type, the encoder that lists the extension. dpi 0 leaves the bitmap's resolution as
// it is (for PNG, the display's). False after telling the user what went wrong.
bool SaveImage(HBITMAP bitmap, const Tessel::String& path, uint32_t dpi,
               ExistingFile existing = ExistingFile::Keep);

// The common save dialog with the given file types. typeIndex (1-based; anything below 1
// opens on the first type) comes back as the type the user confirmed. False when the user
// cancelled or the dialog failed; typeIndex and path are then unchanged.
bool ShowSaveDialog(HWND owner, const char* defaultExtension, const COMDLG_FILTERSPEC* types,
                    uint32_t count, int32_t& typeIndex, Tessel::String& path);

// Tests cannot click a dialog that blocks their own thread, so a hook answers in its place:
// it sees what the dialog would have shown (typeIndex already raised to at least 1) and
// answers like the dialog. Returns the previous hook; nullptr restores the real dialog.
using SaveDialogHook = bool (*)(const char* defaultExtension, const COMDLG_FILTERSPEC* types,
                                uint32_t count, int32_t& typeIndex, Tessel::String& path);
SaveDialogHook SetSaveDialogHookForTesting(SaveDialogHook hook);
