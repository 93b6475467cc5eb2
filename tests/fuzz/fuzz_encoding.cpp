// Arbitrary bytes as UTF-8 and as UTF-16 through both conversions. Whatever goes in, UTF-16 to
// UTF-8 gives well-formed UTF-8, so the round trip from there is exact; well-formed UTF-16 input
// comes back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tessel/encoding.h"

namespace {

using Tessel::String;
using Tessel::WString;

bool IsWellFormed(const char16_t* units, int length) {
    for (int i = 0; i < length; ++i) {
        if (units[i] >= 0xDC00 && units[i] <= 0xDFFF) {
            return false;
        }
        if (units[i] >= 0xD800 && units[i] <= 0xDBFF) {
            if (i + 1 >= length || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF) {
                return false;
            }
            ++i;
        }
    }
    return true;
}

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A fault aborts.
void CheckFromWide(const WString& wide) {
    const String utf8 = Tessel::WideToUtf8(wide.Text());
    Require(!utf8.IsNull());
    const WString back = Tessel::Utf8ToWide(utf8.Text());
    Require(IsWellFormed(back.CStr(), back.Length()));
    Require(Tessel::WideToUtf8(back.Text()) == utf8);
    if (IsWellFormed(wide.CStr(), wide.Length())) {
        Require(back == wide);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> bytes(data, data + size);
    bytes.push_back(0);
    const WString wide = Tessel::Utf8ToWide(bytes.data());
    Require(!wide.IsNull());
    CheckFromWide(wide);

    std::vector<char16_t> units(size / 2 + 1, 0);
    std::memcpy(units.data(), data, size / 2 * 2);
    CheckFromWide(WString(units.data()));
    return 0;
}
