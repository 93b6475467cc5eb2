#pragma once

#include "tessel/format_output.h"
#include "tessel/string_writer.h"

namespace Tessel {

// Formatter output that appends to a string writer, usually a StringBuilder.
template <class T>
class FormatStringWriter final : public IFormatOutput<T> {
public:
    explicit FormatStringWriter(IStringWriter<T>* target) : target(target) {}

    void WriteChar(T unit) override { target->Write(unit); }

private:
    IStringWriter<T>* target;
};

}  // namespace Tessel
