#pragma once
// A bitmap written as a PNG file that appears whole or not at all: it is written under a
// temporary name in the same folder, flushed to disk and only then renamed into place, so a
// crash or power loss never leaves a truncated file under the final name.
#include <windows.h>

#include <cstdint>

#include "tessel/string_core.h"

enum class PngFileResult { Written, NameTaken, NoMemory, Failed };

// The bitmap's pixels as 8-bit RGB with dpi in the file (0: the display's). With replace false
// an existing file at path is left alone and the write fails; given keptTemporary, the complete
// file is then kept under the temporary name it gets, for the caller to give it another name,
// and the result is NameTaken. On any other failure the temporary file is removed again.
// Reads the bitmap with GDI calls of its own, so it may run on a worker thread.
// At most `threads` threads encode (0: one per core).
PngFileResult WritePngFile(HBITMAP bitmap, const Tessel::String& path, uint32_t dpi, bool replace,
                           Tessel::String* keptTemporary = nullptr, uint32_t threads = 0);

// What a failed write tells the user.
const char* DescribePngFileFailure(PngFileResult result);

// Tests make one step fail as the system would. Crash stops before the rename and leaves the
// temporary file behind, as a process killed at that moment would.
enum class PngFileStep { None, Create, Write, Flush, Rename, Crash };
void SetPngFileFailureForTesting(PngFileStep step);
