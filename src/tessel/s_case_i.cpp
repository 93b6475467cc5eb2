#include "tessel/s_case_i.h"

namespace Tessel {

namespace {

unsigned char FoldAscii(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

}  // namespace

uint32_t SCaseI::Hash(const String& key) {
    uint32_t hash = 0x811C9DC5u;
    const char* text = key.CStr();
    for (int i = 0; i < key.Length(); ++i) {
        hash = (hash ^ FoldAscii(text[i])) * 0x01000193u;
    }
    return hash;
}

bool SCaseI::Equals(const String& stored, const String& probe) {
    if (stored.IsNull() || probe.IsNull()) {
        return stored.IsNull() && probe.IsNull();
    }
    if (stored.Length() != probe.Length()) {
        return false;
    }
    for (int i = 0; i < stored.Length(); ++i) {
        if (FoldAscii(stored.CStr()[i]) != FoldAscii(probe.CStr()[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace Tessel
