// Literal text replacement, used to fill "%1" into registered open-with commands.
#ifndef GLIMPSER_TESSEL_REPLACE_ALL_H
#define GLIMPSER_TESSEL_REPLACE_ALL_H

#include "tessel/string_core.h"

// Replaces every non-overlapping, case-sensitive occurrence of `pattern`, left to right; the
// inserted text is not scanned again. An empty pattern leaves the text as it is.
Tessel::String ReplaceAll(const Tessel::String& text, const Tessel::String& pattern,
                          const Tessel::String& replacement);

#endif
