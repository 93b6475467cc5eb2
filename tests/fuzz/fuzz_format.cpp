// Arbitrary format texts through the format engine. The arguments are safe values of the asked
// type, so the engine's own reading of the format is what is under test: it must never read past
// the terminator nor write past a buffer, whatever the text.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "fuzz/fuzz_harness.h"
#include "tessel/format.h"
#include "tessel/format_string_writer.h"
#include "tessel/string_builder.h"

namespace {

// Values alternate between extremes. Int32 values stay small, so widths taken by "*" keep the
// output short.
class CyclingArguments final : public Tessel::IFormatArguments {
public:
    int32_t NextInt32() override { return static_cast<int32_t>(Step() % 2001) - 1000; }
    int64_t NextInt64() override { return Step() % 2 ? INT64_MIN : INT64_MAX; }
    double NextDouble() override { return Step() % 2 ? -1.7e308 : NAN; }
    const char* NextText() override { return Step() % 2 ? "Glimpser \xC3\xA9 %s" : nullptr; }
    uint64_t NextPointer() override { return Step() * 0x9E3779B97F4A7C15u; }

private:
    uint64_t Step() { return 7919 * calls++; }
    uint64_t calls = 0;
};

}  // namespace

void Fuzz(const std::string& format) {
    // Widths of a million and more only make the output long.
    const auto isDigit = [](char c, char) { return c >= '0' && c <= '9'; };
    if (std::search_n(format.begin(), format.end(), 6, '0', isDigit) != format.end()) {
        return;
    }
    CyclingArguments args;
    Tessel::StringBuilder<char> builder;
    Tessel::FormatStringWriter<char> writer(&builder);
    Tessel::FormatTo(writer, format.c_str(), args);
    const Tessel::String text = builder.ToString();
    // Without a "%" the format is its own output.
    Check(!text.IsNull() && (std::strchr(format.c_str(), '%') != nullptr ||
                             std::strcmp(text.CStr(), format.c_str()) == 0));
}
