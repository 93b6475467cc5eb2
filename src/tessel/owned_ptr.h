#pragma once

#include <new>
#include <utility>

#include "tessel/relocatable.h"

namespace Tessel {

// Sole owner of one heap object: destroying or resetting the pointer deletes the object.
template <class T>
class OwnedPtr {
public:
    OwnedPtr() = default;
    explicit OwnedPtr(T* object) : object(object) {}
    OwnedPtr(const OwnedPtr&) = delete;
    OwnedPtr& operator=(const OwnedPtr&) = delete;
    OwnedPtr(OwnedPtr&& other) noexcept : object(other.Release()) {}

    // Also takes over from a pointer to a derived class.
    template <class U>
    OwnedPtr(OwnedPtr<U>&& other) noexcept : object(other.Release()) {}

    OwnedPtr& operator=(OwnedPtr&& other) noexcept {
        Reset(other.Release());
        return *this;
    }

    ~OwnedPtr() { delete object; }

    void Reset(T* replacement = nullptr) {
        T* old = object;
        object = replacement;
        delete old;
    }

    // Gives up ownership without deleting.
    T* Release() {
        T* released = object;
        object = nullptr;
        return released;
    }

    T* Get() const { return object; }
    T* operator->() const { return object; }
    T& operator*() const { return *object; }
    explicit operator bool() const { return object != nullptr; }

private:
    T* object = nullptr;
};

template <class T>
struct IsRelocatable<OwnedPtr<T>> : std::true_type {};

// An empty pointer when the heap is exhausted.
template <class T, class... Args>
OwnedPtr<T> MakeOwned(Args&&... args) {
    return OwnedPtr<T>(new (std::nothrow) T(std::forward<Args>(args)...));
}

}  // namespace Tessel
