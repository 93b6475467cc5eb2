#pragma once
// Which image codec serves a file extension, by the codec's own list of file-name patterns, for
// systems whose registry names no content type for the extension.
#include <cstdint>

// True when one of the ';'-separated patterns ("*.JPG;*.JPEG;*.JPE") is "*" followed by the
// extension (".jpeg", dot included), ASCII letters compared without case. An empty or null
// extension matches nothing.
bool CodecPatternsInclude(const char16_t* patterns, const char16_t* extension);
