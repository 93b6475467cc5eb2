#pragma once

#include <new>
#include <utility>

#include "tessel/hash_core.h"
#include "tessel/relocatable.h"
#include "tessel/s_case_i.h"
#include "tessel/t_malloc.h"

namespace Tessel {

// Hash map from K to V; the Policy gives Hash(const K&) and Equals(const K&, const K&). Entries
// are iterated in insertion order as long as none has been removed. Keys and values are moved
// with realloc when the table grows, which IsRelocatable vouches for.
template <class K, class V, class Policy, class A = TMalloc>
class Map {
    static_assert(IsRelocatable<K>::value && IsRelocatable<V>::value,
                  "Map moves its entries with realloc");
    static_assert(alignof(K) <= 8 && alignof(V) <= 8, "entries are aligned to 8 at most");

public:
    Map() = default;
    Map(const Map&) = delete;
    Map& operator=(const Map&) = delete;

    // Adds the key with the value. A key already present keeps its entry unless `replace`, which
    // replaces both the stored key (its spelling) and the value. True when the map changed; false
    // when the key was kept, or the table could not grow.
    bool Set(K key, V value, bool replace) {
        void* keySlot;
        void* valueSlot;
        bool existed;
        if (!core.FindOrAdd(&key, keySlot, valueSlot, existed)) {
            return false;
        }
        if (!existed) {
            new (keySlot) K(std::move(key));
            new (valueSlot) V(std::move(value));
            return true;
        }
        if (!replace) {
            return false;
        }
        *static_cast<K*>(keySlot) = std::move(key);
        *static_cast<V*>(valueSlot) = std::move(value);
        return true;
    }

    V* Find(const K& key) { return static_cast<V*>(core.Find(&key)); }
    bool Remove(const K& key) { return core.Remove(&key); }
    void Clear() { core.Clear(); }
    int Count() const { return core.Count(); }
    int BucketCount() const { return core.BucketCount(); }

    // Walks the entries in slot order: forward from the first, or backward from the last.
    class Iterator {
    public:
        explicit Iterator(Map& map, bool forward = true)
            : map(&map), index(forward ? -1 : map.core.SlotEnd()), forward(forward) {}

        bool Next() {
            void* keySlot;
            void* valueSlot;
            if (!map->core.Next(index, forward, keySlot, valueSlot)) {
                return false;
            }
            key = static_cast<K*>(keySlot);
            value = static_cast<V*>(valueSlot);
            return true;
        }

        K* key = nullptr;
        V* value = nullptr;

    private:
        Map* map;
        int index;
        bool forward;
    };

private:
    class Core final : public HashCore<A> {
    public:
        Core()
            : HashCore<A>((sizeof(K) + alignof(V) - 1) / alignof(V) * alignof(V), sizeof(V),
                          Alignment()) {}
        ~Core() override { this->Clear(); }

    private:
        static constexpr size_t Alignment() {
            size_t alignment = alignof(K) > alignof(V) ? alignof(K) : alignof(V);
            return alignment > 4 ? alignment : 4;
        }

        uint32_t Hash(const void* key) const override {
            return Policy::Hash(*static_cast<const K*>(key));
        }
        bool Equals(const void* stored, const void* probe) const override {
            return Policy::Equals(*static_cast<const K*>(stored), *static_cast<const K*>(probe));
        }
        void DestroyEntry(void* key, void* value) override {
            static_cast<K*>(key)->~K();
            static_cast<V*>(value)->~V();
        }
    };

    Core core;
};

}  // namespace Tessel
