#pragma once

#include <cstdint>

#include "tessel/string_core.h"
#include "tessel/string_writer.h"

namespace Tessel {

// A converter between two encodings: Decode takes one unit of the source encoding and, once a
// code point is complete, hands it to Write, which encodes it into the target writer. Malformed
// input is converted leniently and never fails.
template <class Source, class Target>
class Encoding;

// UTF-8 to UTF-16. Continuation bytes are not checked, overlong forms are accepted, a stray
// continuation byte or a byte from 0xF8 up is dropped.
template <>
class Encoding<char, char16_t> final : public IStringWriter<char32_t> {
public:
    explicit Encoding(IStringWriter<char16_t>* target) : target(target) {}

    void Decode(char unit);
    void Write(char32_t point) override;

private:
    uint32_t codePoint = 0;
    int32_t expected = 0;
    IStringWriter<char16_t>* target;
};

// UTF-16 to UTF-8. A high surrogate waits for the next unit; a low surrogate combines with the
// pending high one (or with zero when none is pending).
template <>
class Encoding<char16_t, char> final : public IStringWriter<char32_t> {
public:
    explicit Encoding(IStringWriter<char>* target) : target(target) {}

    void Decode(char16_t unit);
    void Write(char32_t point) override;

private:
    uint16_t pendingHigh = 0;
    IStringWriter<char>* target;
};

// Defined inline, so every user builds the vtable itself: the library is built without RTTI,
// its users not always.
inline void Encoding<char, char16_t>::Decode(char unit) {
    const uint32_t byte = static_cast<unsigned char>(unit);
    if (expected > 0) {
        codePoint = codePoint * 64 + (byte & 0x3F);
        if (--expected == 0) {
            Write(codePoint);
        }
    } else if (byte < 0x80) {
        Write(byte);
    } else if ((byte & 0xE0) == 0xC0) {
        codePoint = byte & 0x1F;
        expected = 1;
    } else if ((byte & 0xF0) == 0xE0) {
        codePoint = byte & 0x0F;
        expected = 2;
    } else if ((byte & 0xF8) == 0xF0) {
        codePoint = byte & 0x07;
        expected = 3;
    }
}

inline void Encoding<char, char16_t>::Write(char32_t point) {
    if (point < 0x10000) {
        target->Write(static_cast<char16_t>(point));
        return;
    }
    target->Write(static_cast<char16_t>(0xD800 | (((point - 0x10000) >> 10) & 0x3FF)));
    target->Write(static_cast<char16_t>(0xDC00 | (point & 0x3FF)));
}

inline void Encoding<char16_t, char>::Decode(char16_t unit) {
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        pendingHigh = unit;
        return;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
        const char32_t point = (((pendingHigh & 0x3FFu) << 10) | (unit & 0x3FFu)) + 0x10000;
        pendingHigh = 0;
        Write(point);
        return;
    }
    pendingHigh = 0;
    Write(unit);
}

inline void Encoding<char16_t, char>::Write(char32_t point) {
    if (point < 0x80) {
        target->Write(static_cast<char>(point));
    } else if (point < 0x800) {
        target->Write(static_cast<char>(0xC0 | ((point >> 6) & 0x1F)));
        target->Write(static_cast<char>(0x80 | (point & 0x3F)));
    } else if (point < 0x10000) {
        target->Write(static_cast<char>(0xE0 | ((point >> 12) & 0x0F)));
        target->Write(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
        target->Write(static_cast<char>(0x80 | (point & 0x3F)));
    } else {
        target->Write(static_cast<char>(0xF0 | ((point >> 18) & 0x07)));
        target->Write(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
        target->Write(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
        target->Write(static_cast<char>(0x80 | (point & 0x3F)));
    }
}

// Missing text gives the null string, empty text an empty one. The result ends at the first
// zero unit the conversion produces.
WString Utf8ToWide(const char* text);
String WideToUtf8(const char16_t* text);

}  // namespace Tessel
