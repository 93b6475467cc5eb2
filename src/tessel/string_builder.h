#pragma once

#include <cstdint>
#include <cstring>

#include "tessel/string_core.h"
#include "tessel/string_writer.h"
#include "tessel/t_malloc.h"

namespace Tessel {

// Growable text buffer. Short texts stay in the inline buffer, so building one costs no heap
// allocation before the final string block. When the heap is exhausted (or the text would pass
// the largest signed length) the builder fails: it keeps what it had, drops later units, and
// ToString gives the null string, so a truncated text is never passed off as the result.
template <class T>
class StringBuilder final : public IStringWriter<T> {
public:
    static constexpr int kInlineCapacity = 128;

    StringBuilder() = default;
    StringBuilder(const StringBuilder&) = delete;
    StringBuilder& operator=(const StringBuilder&) = delete;

    ~StringBuilder() {
        if (data != inlineBuffer) {
            TMalloc::Free(data);
        }
    }

    // Room for n more units, counted as used; nullptr once the builder has failed.
    T* Reserve(int n) {
        if (failed || n < 0 || !Grow(static_cast<int64_t>(length) + n)) {
            failed = true;
            return nullptr;
        }
        T* room = data + length;
        length += n;
        return room;
    }

    void Write(T unit) override {
        if (T* room = Reserve(1)) {
            *room = unit;
        }
    }

    // length < 0 means up to the terminator; a missing text appends nothing.
    void Append(const T* text, int count = -1) {
        if (!text) {
            return;
        }
        if (count < 0) {
            count = 0;
            while (count < 0x7FFFFFFF && text[count] != 0) {
                ++count;
            }
        }
        if (T* room = Reserve(count)) {
            std::memcpy(room, text, static_cast<size_t>(count) * sizeof(T));
        }
    }

    void Append(const StringCore<T>& text) { Append(text.Text(), text.Length()); }

    // The text up to its first zero unit. The terminator is kept behind the text, uncounted,
    // so the builder can go on growing afterwards.
    StringCore<T> ToString() {
        if (failed || !Grow(static_cast<int64_t>(length) + 1)) {
            failed = true;
            return StringCore<T>();
        }
        data[length] = 0;
        return StringCore<T>(data);
    }

    const T* Data() const { return data; }
    int Length() const { return length; }
    int Capacity() const { return capacity; }

private:
    // Doubles the capacity until `needed` units fit; the first growth leaves the inline buffer.
    bool Grow(int64_t needed) {
        if (needed <= capacity) {
            return true;
        }
        if (needed > kMaxCapacity) {
            return false;
        }
        int64_t grown = capacity;
        while (grown < needed) {
            grown *= 2;
        }
        if (grown > kMaxCapacity) {
            grown = kMaxCapacity;
        }
        const size_t bytes = static_cast<size_t>(grown) * sizeof(T);
        T* moved;
        if (data == inlineBuffer) {
            moved = static_cast<T*>(TMalloc::Alloc(bytes));
            if (moved) {
                // length never passes the inline capacity here; the bound tells the compiler.
                const unsigned inlineUnits = kInlineCapacity;
                const size_t kept = static_cast<unsigned>(length) < inlineUnits
                                        ? static_cast<unsigned>(length)
                                        : inlineUnits;
                std::memcpy(moved, inlineBuffer, kept * sizeof(T));
            }
        } else {
            moved = static_cast<T*>(TMalloc::Realloc(data, bytes));
        }
        if (!moved) {
            return false;
        }
        data = moved;
        capacity = static_cast<int>(grown);
        return true;
    }

    static constexpr int64_t kMaxCapacity = 0x7FFFFFFF / static_cast<int64_t>(sizeof(T));

    T* data = inlineBuffer;
    int length = 0;
    int capacity = kInlineCapacity;
    bool failed = false;
    T inlineBuffer[kInlineCapacity];
};

}  // namespace Tessel
