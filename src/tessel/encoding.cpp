#include "tessel/encoding.h"

#include "tessel/string_builder.h"

namespace Tessel {

namespace {

// Feeds every unit up to the terminator through one decoder into a builder.
template <class Source, class Target>
StringCore<Target> Convert(const Source* text) {
    if (!text) {
        return StringCore<Target>();
    }
    StringBuilder<Target> builder;
    Encoding<Source, Target> encoding(&builder);
    for (; *text != 0; ++text) {
        encoding.Decode(*text);
    }
    return builder.ToString();
}

}  // namespace

WString Utf8ToWide(const char* text) {
    return Convert<char, char16_t>(text);
}

String WideToUtf8(const char16_t* text) {
    return Convert<char16_t, char>(text);
}

}  // namespace Tessel
