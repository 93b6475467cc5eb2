#pragma once

#include <cassert>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "tessel/relocatable.h"
#include "tessel/t_malloc.h"

namespace Tessel {

// Array list of handles (StringCore, OwnedPtr) or plain values. Elements are moved with
// realloc and memmove, which IsRelocatable vouches for. Capacity never shrinks before the
// destructor.
template <class T, class A = TMalloc>
class List {
    static_assert(IsRelocatable<T>::value, "List moves its elements with realloc");

public:
    List() = default;
    List(const List&) = delete;
    List& operator=(const List&) = delete;

    List(List&& other) noexcept
        : count(other.count), capacity(other.capacity), elements(other.elements) {
        other.count = 0;
        other.capacity = 0;
        other.elements = nullptr;
    }

    ~List() {
        RemoveAll();
        A::Free(elements);
    }

    // Returns the new index, or -1 when the array cannot grow (the element is then destroyed).
    int Append(T element) {
        if (!Grow()) {
            return -1;
        }
        new (elements + count) T(std::move(element));
        return count++;
    }

    // Inserts before index (0 = at the front, Count() = at the end). False when the index lies
    // outside that range or the array cannot grow; the element is then destroyed.
    bool InsertAt(int index, T element) {
        if (index < 0 || index > count || !Grow()) {
            return false;
        }
        std::memmove(static_cast<void*>(elements + index + 1), static_cast<void*>(elements + index),
                     static_cast<size_t>(count - index) * sizeof(T));
        new (elements + index) T(std::move(element));
        ++count;
        return true;
    }

    // Destroys n elements from start on and closes the gap; a range reaching outside the list
    // is cut to the part inside it.
    void RemoveRange(int start, int n) {
        if (start < 0) {
            n += start;
            start = 0;
        }
        if (n <= 0 || start >= count) {
            return;
        }
        if (n > count - start) {
            n = count - start;
        }
        for (int i = start; i < start + n; ++i) {
            elements[i].~T();
        }
        std::memmove(static_cast<void*>(elements + start), static_cast<void*>(elements + start + n),
                     static_cast<size_t>(count - start - n) * sizeof(T));
        count -= n;
    }

    void RemoveAll() { RemoveRange(0, count); }

    // The first element after position `after` equal to the probe, or -1.
    int IndexOf(const T& probe, int after = -1) const {
        for (int i = after < -1 ? 0 : after + 1; i < count; ++i) {
            if (elements[i] == probe) {
                return i;
            }
        }
        return -1;
    }

    // Heapsort: not stable, no allocation, and no index ever depends on a comparison, so even a
    // comparator that is not a consistent order cannot make it leave the array.
    void Sort(int (*compare)(const T&, const T&)) {
        for (int root = count / 2 - 1; root >= 0; --root) {
            SiftDown(root, count, compare);
        }
        for (int end = count - 1; end > 0; --end) {
            Swap(0, end);
            SiftDown(0, end, compare);
        }
    }

    T& operator[](int index) {
        assert(index >= 0 && index < count);
        return elements[index];
    }

    const T& operator[](int index) const {
        assert(index >= 0 && index < count);
        return elements[index];
    }

    int Count() const { return count; }
    int Capacity() const { return capacity; }

    T* begin() { return elements; }
    T* end() { return elements + count; }
    const T* begin() const { return elements; }
    const T* end() const { return elements + count; }

private:
    // Room for one more element: capacity becomes the larger of 16 and 2 * count + 2.
    bool Grow() {
        if (count < capacity) {
            return true;
        }
        int64_t grown = 2 * static_cast<int64_t>(count) + 2;
        if (grown < 16) {
            grown = 16;
        }
        if (grown > 0x7FFFFFFF || static_cast<uint64_t>(grown) > SIZE_MAX / sizeof(T)) {
            return false;
        }
        void* moved = A::Realloc(elements, static_cast<size_t>(grown) * sizeof(T));
        if (!moved) {
            return false;
        }
        elements = static_cast<T*>(moved);
        capacity = static_cast<int>(grown);
        return true;
    }

    void Swap(int a, int b) {
        alignas(T) unsigned char spare[sizeof(T)];
        std::memcpy(spare, static_cast<void*>(elements + a), sizeof(T));
        std::memcpy(static_cast<void*>(elements + a), static_cast<void*>(elements + b), sizeof(T));
        std::memcpy(static_cast<void*>(elements + b), spare, sizeof(T));
    }

    void SiftDown(int root, int end, int (*compare)(const T&, const T&)) {
        for (;;) {
            int largest = root;
            const int left = 2 * root + 1;
            const int right = left + 1;
            if (left < end && compare(elements[left], elements[largest]) > 0) {
                largest = left;
            }
            if (right < end && compare(elements[right], elements[largest]) > 0) {
                largest = right;
            }
            if (largest == root) {
                return;
            }
            Swap(root, largest);
            root = largest;
        }
    }

    int count = 0;
    int capacity = 0;
    T* elements = nullptr;
};

}  // namespace Tessel
