// Arbitrary bytes as UTF-8 and as UTF-16 through both conversions. Whatever goes in, UTF-16 to
// UTF-8 gives well-formed UTF-8, so the round trip from there is exact; well-formed UTF-16 input
// comes back unchanged.
#include <cstring>

#include "fuzz/fuzz_harness.h"
#include "tessel/encoding.h"

namespace {

bool IsWellFormed(const Tessel::WString& text) {
    const char16_t* units = text.CStr();
    for (int i = 0; i < text.Length(); ++i) {
        const bool high = (units[i] & 0xFC00) == 0xD800;
        const bool lowNext = i + 1 < text.Length() && (units[i + 1] & 0xFC00) == 0xDC00;
        if ((units[i] & 0xFC00) == 0xDC00 || (high && !lowNext)) {
            return false;
        }
        i += high ? 1 : 0;
    }
    return true;
}

// Both inputs are texts, never null.
void CheckFromWide(const Tessel::WString& wide) {
    const Tessel::String utf8 = Tessel::WideToUtf8(wide.Text());
    const Tessel::WString back = Tessel::Utf8ToWide(utf8.Text());
    Check(!wide.IsNull() && !utf8.IsNull() && IsWellFormed(back) &&
          Tessel::WideToUtf8(back.Text()) == utf8 && (!IsWellFormed(wide) || back == wide));
}

}  // namespace

void Fuzz(const std::string& input) {
    CheckFromWide(Tessel::Utf8ToWide(input.c_str()));
    std::u16string units(input.size() / 2, 0);
    std::memcpy(units.data(), input.data(), units.size() * 2);
    CheckFromWide(Tessel::WString(units.c_str()));
}
