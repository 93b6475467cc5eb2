#pragma once

#include <cstdarg>

#include "tessel/format_arguments.h"
#include "tessel/format_output.h"
#include "tessel/string_core.h"

namespace Tessel {

// printf-style formatting by our own engine; only "f" and "g" go to the runtime's snprintf.
// Pass int/unsigned for %d %i %u %o %x %X %c, int64_t/uint64_t with "ll" or "z", a pointer for
// %p, a double for %f %g and `const char*` for %s (s.CStr()). A format that ends inside a
// conversion specification stops there: the unfinished conversion writes nothing.
String Format(const char* format, ...);
String FormatV(const char* format, va_list args);
void FormatTo(IFormatOutput<char>& output, const char* format, va_list args);
void FormatTo(IFormatOutput<char>& output, const char* format, IFormatArguments& args);

}  // namespace Tessel
