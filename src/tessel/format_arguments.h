#pragma once

#include <cstdint>

namespace Tessel {

// The formatter's arguments, taken one at a time in the type each conversion asks for. The
// variadic entry points read a va_list through it; a caller that cannot vouch for a format
// (a fuzzer) supplies safe values of the asked type instead.
class IFormatArguments {
public:
    virtual int32_t NextInt32() = 0;
    virtual int64_t NextInt64() = 0;
    virtual double NextDouble() = 0;
    virtual const char* NextText() = 0;
    virtual uint64_t NextPointer() = 0;

protected:
    ~IFormatArguments() = default;
};

}  // namespace Tessel
