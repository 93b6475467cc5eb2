#include "tessel/format.h"

#include <cstdint>
#include <cstdio>

#include "tessel/format_string_writer.h"
#include "tessel/string_builder.h"

namespace Tessel {

namespace {

class VaListArguments final : public IFormatArguments {
public:
    explicit VaListArguments(va_list source) { va_copy(args, source); }
    VaListArguments(const VaListArguments&) = delete;
    VaListArguments& operator=(const VaListArguments&) = delete;
    ~VaListArguments() { va_end(args); }

    int32_t NextInt32() override { return va_arg(args, int32_t); }
    int64_t NextInt64() override { return va_arg(args, int64_t); }
    double NextDouble() override { return va_arg(args, double); }
    const char* NextText() override { return va_arg(args, const char*); }
    uint64_t NextPointer() override {
        return reinterpret_cast<uintptr_t>(va_arg(args, const void*));
    }

private:
    va_list args;
};

struct ConversionSpec {
    bool alternate = false;
    bool leftAlign = false;
    bool zeroPad = false;
    bool wide = false;
    char sign = 0;
    int width = 0;
    int precision = -1;
};

// Digit runs saturate instead of overflowing.
int ReadNumber(const char*& p) {
    int value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        const int digit = *p - '0';
        value = value > (0x7FFFFFFF - digit) / 10 ? 0x7FFFFFFF : value * 10 + digit;
    }
    return value;
}

// Reads flags, zero padding, width, precision and length. Every step stops at the terminator,
// which the caller sees as the conversion character 0.
const char* ReadConversionSpec(const char* p, ConversionSpec& spec, IFormatArguments& args) {
    for (;; ++p) {
        if (*p == '#') {
            spec.alternate = true;
        } else if (*p == '-') {
            spec.leftAlign = true;
        } else if (*p == '+') {
            spec.sign = '+';
        } else if (*p == ' ') {
            if (spec.sign != '+') {
                spec.sign = ' ';
            }
        } else {
            break;
        }
    }
    if (*p == '0') {
        spec.zeroPad = !spec.leftAlign;
        ++p;
    }
    if (*p == '*') {
        spec.width = args.NextInt32();
        ++p;
    } else {
        spec.width = ReadNumber(p);
    }
    if (*p == '.') {
        ++p;
        spec.zeroPad = false;
        if (*p == '*') {
            spec.precision = args.NextInt32();
            ++p;
        } else {
            spec.precision = ReadNumber(p);
        }
    }
    if (p[0] == 'l' && p[1] == 'l') {
        spec.wide = true;
        p += 2;
    } else if (*p == 'l') {
        ++p;
    }
    if (*p == 'z') {
        spec.wide = true;
        ++p;
    }
    return p;
}

// Writes prefix, zeros up to minDigits, then the digits of the magnitude, padded with spaces to
// fieldWidth. The zeros are written as a run rather than built in the scratch buffer, so no
// width or precision can overrun it.
void WriteInteger(IFormatOutput<char>& output, uint64_t magnitude, unsigned base, bool upper,
                  const char* prefix, int minDigits, int fieldWidth, bool leftAlign) {
    const char* digitChars = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char scratch[24];  // 22 octal digits hold 64 bits
    int start = static_cast<int>(sizeof(scratch));
    do {
        scratch[--start] = digitChars[magnitude % base];
        magnitude /= base;
    } while (magnitude != 0);
    const int digitCount = static_cast<int>(sizeof(scratch)) - start;
    const int zeros = minDigits > digitCount ? minDigits - digitCount : 0;
    int prefixLength = 0;
    while (prefix[prefixLength] != 0) {
        ++prefixLength;
    }
    const int64_t total = static_cast<int64_t>(prefixLength) + zeros + digitCount;
    const int padding = fieldWidth > total ? static_cast<int>(fieldWidth - total) : 0;
    if (!leftAlign) {
        output.WriteRepeated(' ', padding);
    }
    output.WriteChars(prefix, prefixLength);
    output.WriteRepeated('0', zeros);
    output.WriteChars(scratch + start, digitCount);
    if (leftAlign) {
        output.WriteRepeated(' ', padding);
    }
}

void WriteSigned(IFormatOutput<char>& output, const ConversionSpec& spec, int64_t value) {
    const uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    const char sign[2] = {value < 0 ? '-' : spec.sign, 0};
    int minDigits = spec.zeroPad ? spec.width : spec.precision;
    if (spec.zeroPad && sign[0] != 0) {
        --minDigits;
    }
    WriteInteger(output, magnitude, 10, false, sign, minDigits, spec.zeroPad ? 0 : spec.width,
                 spec.leftAlign);
}

void WriteUnsigned(IFormatOutput<char>& output, const ConversionSpec& spec, uint64_t value,
                   unsigned base, bool upper, const char* prefix) {
    WriteInteger(output, value, base, upper, prefix, spec.zeroPad ? spec.width : spec.precision,
                 spec.zeroPad ? 0 : spec.width, spec.leftAlign);
}

void WriteText(IFormatOutput<char>& output, const ConversionSpec& spec, const char* text) {
    if (!text) {
        text = "(null)";
    }
    // A precision bounds the read as well, so a cut text need not be terminated.
    const int limit = spec.precision >= 1 ? spec.precision : 0x7FFFFFFF;
    int length = 0;
    while (length < limit && text[length] != 0) {
        ++length;
    }
    output.WriteField(text, length, spec.width, spec.leftAlign);
}

// Floating point goes to the runtime. Its text is cut at kFloatBufferSize - 1 characters; the
// precision is bounded the same way, since digits beyond the cut are never shown.
void WriteFloat(IFormatOutput<char>& output, const ConversionSpec& spec, char conversion,
                double value) {
    constexpr int kFloatBufferSize = 512;
    char runtimeFormat[8] = "%";
    int at = 1;
    if (spec.sign != 0) {
        runtimeFormat[at++] = spec.sign;
    }
    runtimeFormat[at++] = '.';
    runtimeFormat[at++] = '*';
    runtimeFormat[at++] = conversion;
    runtimeFormat[at] = 0;
    int precision = spec.precision < 0 ? 6 : spec.precision;
    if (precision > kFloatBufferSize - 1) {
        precision = kFloatBufferSize - 1;
    }
    char buffer[kFloatBufferSize];
    int length = std::snprintf(buffer, sizeof(buffer), runtimeFormat, precision, value);
    if (length < 0) {
        length = 0;
    } else if (length > kFloatBufferSize - 1) {
        length = kFloatBufferSize - 1;
    }
    output.WriteField(buffer, length, spec.width, spec.leftAlign);
}

// A character that is no conversion ends the conversion: it writes nothing and takes no
// argument.
void WriteConversion(IFormatOutput<char>& output, const ConversionSpec& spec, char conversion,
                     IFormatArguments& args) {
    const bool upper = conversion == 'X' || conversion == 'P';
    switch (conversion) {
        case 'd':
        case 'i':
            WriteSigned(output, spec, spec.wide ? args.NextInt64() : args.NextInt32());
            break;
        case 'u':
        case 'o':
        case 'x':
        case 'X': {
            const uint64_t value = spec.wide ? static_cast<uint64_t>(args.NextInt64())
                                             : static_cast<uint32_t>(args.NextInt32());
            if (conversion == 'u') {
                WriteUnsigned(output, spec, value, 10, false, "");
            } else if (conversion == 'o') {
                WriteUnsigned(output, spec, value, 8, false, spec.alternate ? "0" : "");
            } else {
                WriteUnsigned(output, spec, value, 16, upper,
                              !spec.alternate ? ""
                              : upper         ? "0X"
                                              : "0x");
            }
            break;
        }
        case 'p':
        case 'P':
            WriteInteger(output, args.NextPointer(), 16, upper,
                         !spec.alternate ? ""
                         : upper         ? "0X"
                                         : "0x",
                         16, spec.width, spec.leftAlign);
            break;
        case 'c': {
            const char unit = static_cast<char>(args.NextInt32() & 0xFF);
            output.WriteField(&unit, 1, spec.width, spec.leftAlign);
            break;
        }
        case 's':
            WriteText(output, spec, args.NextText());
            break;
        case 'f':
        case 'g':
            WriteFloat(output, spec, conversion, args.NextDouble());
            break;
        default:
            break;
    }
}

}  // namespace

void FormatTo(IFormatOutput<char>& output, const char* format, IFormatArguments& args) {
    if (!format) {
        return;
    }
    const char* p = format;
    while (*p != 0) {
        if (*p != '%') {
            output.WriteChar(*p++);
            continue;
        }
        ++p;
        if (*p == '%') {
            output.WriteChar('%');
            ++p;
            continue;
        }
        ConversionSpec spec;
        p = ReadConversionSpec(p, spec, args);
        if (*p == 0) {
            return;
        }
        WriteConversion(output, spec, *p, args);
        ++p;
    }
}

void FormatTo(IFormatOutput<char>& output, const char* format, va_list args) {
    VaListArguments arguments(args);
    FormatTo(output, format, arguments);
}

String FormatV(const char* format, va_list args) {
    if (!format) {
        return String();
    }
    StringBuilder<char> builder;
    FormatStringWriter<char> writer(&builder);
    FormatTo(writer, format, args);
    return builder.ToString();
}

String Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    String result = FormatV(format, args);
    va_end(args);
    return result;
}

}  // namespace Tessel
