#pragma once

#include <cstdint>
#include <cstring>

#include "tessel/relocatable.h"
#include "tessel/t_malloc.h"

namespace Tessel {

// Immutable, reference-counted text. The handle is one pointer to a heap block holding the
// reference count, the length in units, the text and a terminating zero unit; copies share the
// block. A handle without a block is the null string, which is distinct from the empty string.
// Reference counts are plain integers: a block belongs to one thread.
template <class T>
class StringCore {
public:
    StringCore() = default;

    // length < 0 means up to the terminator; a missing text gives the null string.
    explicit StringCore(const T* text, int length = -1) : block(Create(text, length)) {}

    StringCore(const StringCore& other) : block(other.block) {
        if (block) {
            ++HeaderOf(block)->refCount;
        }
    }

    StringCore(StringCore&& other) noexcept : block(other.block) { other.block = nullptr; }

    StringCore& operator=(const StringCore& other) {
        char* shared = other.block;
        if (shared) {
            ++HeaderOf(shared)->refCount;
        }
        Release();
        block = shared;
        return *this;
    }

    StringCore& operator=(StringCore&& other) noexcept {
        if (this != &other) {
            Release();
            block = other.block;
            other.block = nullptr;
        }
        return *this;
    }

    ~StringCore() { Release(); }

    // The new block is made before the old one is let go, so the text may point into it.
    void Assign(const T* text, int length = -1) {
        char* made = Create(text, length);
        Release();
        block = made;
    }

    void Release() {
        if (block && --HeaderOf(block)->refCount == 0) {
            TMalloc::Free(block);
        }
        block = nullptr;
    }

    // A negative start counts from the end, a negative length means up to the end. A range that
    // reaches outside the text is clamped to it; a null source gives the null string.
    StringCore Substring(int start, int length) const {
        if (!block) {
            return StringCore();
        }
        const int total = Length();
        if (start < 0) {
            start = start < -total ? 0 : start + total;
        }
        if (start > total) {
            start = total;
        }
        if (length < 0 || length > total - start) {
            length = total - start;
        }
        return StringCore(TextOf(block) + start, length);
    }

    const T* Text() const { return block ? TextOf(block) : nullptr; }
    const T* CStr() const { return block ? TextOf(block) : EmptyText(); }
    int Length() const { return block ? static_cast<int>(HeaderOf(block)->length) : 0; }
    bool IsNull() const { return block == nullptr; }
    bool IsEmpty() const { return Length() == 0; }

    // Units compared as they are; a null string equals only another null string.
    bool operator==(const StringCore& other) const {
        if (block == other.block) {
            return true;
        }
        if (!block || !other.block || Length() != other.Length()) {
            return false;
        }
        return std::memcmp(TextOf(block), TextOf(other.block),
                           static_cast<size_t>(Length()) * sizeof(T)) == 0;
    }

private:
    // The block starts with this header; the text and its terminator follow it.
    struct Header {
        uint32_t refCount;
        uint32_t length;
    };
    static_assert(sizeof(Header) == 8 && sizeof(T) <= 4);

    static Header* HeaderOf(char* of) { return reinterpret_cast<Header*>(of); }
    static T* TextOf(char* of) { return reinterpret_cast<T*>(of + sizeof(Header)); }

    // Longest text a block may hold, so that the length always fits the signed accessors.
    static constexpr int kMaxLength = (0x7FFFFFFF - 12) / static_cast<int>(sizeof(T));

    static const T* EmptyText() {
        static const T empty[1] = {};
        return empty;
    }

    static int MeasureText(const T* text) {
        int length = 0;
        while (length <= kMaxLength && text[length] != 0) {
            ++length;
        }
        return length;
    }

    // Returns nullptr (the null string) for a missing text, and also when the heap is exhausted.
    static char* Create(const T* text, int length) {
        if (!text) {
            return nullptr;
        }
        if (length < 0) {
            length = MeasureText(text);
        }
        if (length > kMaxLength) {
            return nullptr;
        }
        const size_t textBytes = static_cast<size_t>(length) * sizeof(T);
        auto* made = static_cast<char*>(TMalloc::Alloc(textBytes + 12));
        if (!made) {
            return nullptr;
        }
        HeaderOf(made)->refCount = 1;
        HeaderOf(made)->length = static_cast<uint32_t>(length);
        std::memcpy(TextOf(made), text, textBytes);
        TextOf(made)[length] = 0;
        return made;
    }

    char* block = nullptr;
};

template <class T>
struct IsRelocatable<StringCore<T>> : std::true_type {};

using String = StringCore<char>;
using WString = StringCore<char16_t>;

}  // namespace Tessel
