// Arbitrary format texts through the format engine. The arguments come from a source that
// answers every request with a valid value of the asked type, so the engine's own reading of the
// format is what is under test: it must never read past the terminator, whatever the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tessel/format.h"
#include "tessel/format_string_writer.h"
#include "tessel/string_builder.h"

namespace {

// Values cycle through the fuzzer's seed bytes. Widths taken by "*" stay small so the output
// does, while formats without "*" also meet the extreme integers.
class FuzzArguments final : public Tessel::IFormatArguments {
public:
    FuzzArguments(const uint8_t* seed, size_t size, bool smallInts)
        : seed(seed), size(size), smallInts(smallInts) {}

    int32_t NextInt32() override {
        const auto value = static_cast<int32_t>(Next64());
        return smallInts ? value % 1000 : value;
    }
    int64_t NextInt64() override { return static_cast<int64_t>(Next64()); }
    double NextDouble() override {
        const uint64_t bits = Next64();
        double value;
        std::memcpy(&value, &bits, sizeof(value));
        return value;
    }
    const char* NextText() override {
        static const char* const kTexts[] = {nullptr, "", "a", "Glimpser \xC3\xA9 %s %d",
                                             "C:\\Users\\a b\\My Glimpser Images"};
        return kTexts[Next64() % (sizeof(kTexts) / sizeof(kTexts[0]))];
    }
    uint64_t NextPointer() override { return Next64(); }

private:
    uint64_t Next64() {
        uint64_t value = 0;
        for (size_t i = 0; i < 8 && size > 0; ++i) {
            value = value << 8 | seed[at++ % size];
        }
        return value;
    }

    const uint8_t* seed;
    size_t size;
    size_t at = 0;
    bool smallInts;
};

bool HasLongDigitRun(const char* text) {
    int run = 0;
    for (; *text != 0; ++text) {
        run = *text >= '0' && *text <= '9' ? run + 1 : 0;
        if (run > 5) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first 8 bytes seed the arguments, the rest is the format text.
    const size_t seedSize = size < 8 ? size : 8;
    std::vector<char> format(data + seedSize, data + size);
    format.push_back(0);
    // Widths of a million and more only make the output long.
    if (HasLongDigitRun(format.data())) {
        return 0;
    }
    FuzzArguments args(data, seedSize, std::strchr(format.data(), '*') != nullptr);
    Tessel::StringBuilder<char> builder;
    Tessel::FormatStringWriter<char> writer(&builder);
    Tessel::FormatTo(writer, format.data(), args);
    const Tessel::String text = builder.ToString();
    if (text.IsNull()) {
        std::abort();
    }
    // Without a "%" the format is its own output.
    if (std::strchr(format.data(), '%') == nullptr &&
        std::strcmp(text.CStr(), format.data()) != 0) {
        std::abort();
    }
    return 0;
}
