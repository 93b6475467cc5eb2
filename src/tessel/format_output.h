#pragma once

namespace Tessel {

// Where the formatter writes. A sink implements WriteChar; fields, runs and repeats are built
// on it here.
template <class T>
class IFormatOutput {
public:
    // The text padded with spaces to `width`, on the right when left-aligned, else on the left.
    void WriteField(const T* text, int length, int width, bool leftAlign) {
        const int n = length > 0 ? length : 0;
        const int padding = width > n ? width - n : 0;
        if (!leftAlign) {
            WriteRepeated(' ', padding);
        }
        WriteChars(text, n);
        if (leftAlign) {
            WriteRepeated(' ', padding);
        }
    }

    void WriteChars(const T* text, int count) {
        for (int i = 0; i < count; ++i) {
            WriteChar(text[i]);
        }
    }

    void WriteRepeated(T unit, int count) {
        for (int i = 0; i < count; ++i) {
            WriteChar(unit);
        }
    }

    virtual void WriteChar(T unit) = 0;

protected:
    ~IFormatOutput() = default;
};

}  // namespace Tessel
