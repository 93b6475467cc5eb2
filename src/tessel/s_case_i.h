#pragma once

#include <cstdint>

#include "tessel/string_core.h"

namespace Tessel {

// Map key policy for UTF-8 strings compared ignoring the case of ASCII letters only: A to Z
// fold, every other byte must match. A null key equals only another null key.
struct SCaseI {
    // 32-bit FNV-1a over the folded bytes; null and empty both give the offset basis.
    static uint32_t Hash(const String& key);
    static bool Equals(const String& stored, const String& probe);
};

}  // namespace Tessel
