#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "tessel/t_malloc.h"

namespace Tessel {

// The first prime of the table sizes that is at least `atLeast`; 0 when no prime below 2^31 - 1
// is large enough.
int32_t NextTablePrime(int64_t atLeast);

// A hash table over fixed-size entries whose key and value types it does not know. One heap
// block holds bucketCount entries followed by bucketCount bucket heads; freed slots are chained
// on a free list and reused. Slots are handed out in increasing order, so walking them visits the
// entries in insertion order until one is removed. A failed growth leaves the table as it was.
template <class A = TMalloc>
class HashCore {
public:
    HashCore(const HashCore&) = delete;
    HashCore& operator=(const HashCore&) = delete;

    // Looks the key up and adds a slot for it when it is missing; the caller constructs the key
    // and value of a new slot. False only when the table cannot grow.
    bool FindOrAdd(const void* key, void*& keyOut, void*& valueOut, bool& existed) {
        if (bucketCount == 0 && !Rehash(1)) {
            return false;
        }
        const int32_t hash = static_cast<int32_t>(Hash(key) & 0x7FFFFFFFu);
        const int32_t found = FindSlot(key, hash);
        existed = found >= 0;
        int32_t slot = found;
        if (!existed) {
            if (freeHead >= 0) {
                slot = freeHead;
                freeHead = HeadOf(slot)->next;
                --freeCount;
            } else {
                if (count >= bucketCount && !Rehash(2 * static_cast<int64_t>(bucketCount))) {
                    return false;
                }
                slot = count;
            }
            ++count;
            int32_t& bucket = buckets[hash % bucketCount];
            HeadOf(slot)->hash = hash;
            HeadOf(slot)->next = bucket;
            bucket = slot;
        }
        keyOut = KeyOf(slot);
        valueOut = ValueOf(slot);
        return true;
    }

    // The stored value of the key, or nullptr.
    void* Find(const void* key) const {
        if (bucketCount == 0) {
            return nullptr;
        }
        const int32_t slot = FindSlot(key, static_cast<int32_t>(Hash(key) & 0x7FFFFFFFu));
        return slot >= 0 ? ValueOf(slot) : nullptr;
    }

    // Destroys the key's entry and puts its slot on the free list.
    bool Remove(const void* key) {
        if (bucketCount == 0) {
            return false;
        }
        const int32_t hash = static_cast<int32_t>(Hash(key) & 0x7FFFFFFFu);
        for (int32_t* link = &buckets[hash % bucketCount]; *link >= 0;
             link = &HeadOf(*link)->next) {
            const int32_t slot = *link;
            if (HeadOf(slot)->hash == hash && Equals(KeyOf(slot), key)) {
                *link = HeadOf(slot)->next;
                DestroyEntry(KeyOf(slot), ValueOf(slot));
                HeadOf(slot)->hash = -1;
                HeadOf(slot)->next = freeHead;
                freeHead = slot;
                ++freeCount;
                --count;
                return true;
            }
        }
        return false;
    }

    // Destroys every entry; the storage is kept for the next insertions.
    void Clear() {
        for (int32_t slot = 0; slot < count + freeCount; ++slot) {
            if (HeadOf(slot)->hash >= 0) {
                DestroyEntry(KeyOf(slot), ValueOf(slot));
            }
        }
        count = 0;
        freeCount = 0;
        freeHead = -1;
        for (int32_t i = 0; i < bucketCount; ++i) {
            buckets[i] = -1;
        }
    }

    // Moves index to the next occupied slot in slot order, forward from -1 or backward from
    // SlotEnd(); false when there is none.
    bool Next(int32_t& index, bool forward, void*& keyOut, void*& valueOut) const {
        const int32_t end = SlotEnd();
        for (;;) {
            index += forward ? 1 : -1;
            if (index < 0 || index >= end) {
                index = forward ? end : -1;
                return false;
            }
            if (HeadOf(index)->hash >= 0) {
                keyOut = KeyOf(index);
                valueOut = ValueOf(index);
                return true;
            }
        }
    }

    int32_t Count() const { return count; }
    int32_t BucketCount() const { return bucketCount; }
    int32_t SlotEnd() const { return count + freeCount; }

protected:
    // keySize is the key's room in an entry, which is also the value's offset behind the key.
    HashCore(size_t keySize, size_t valueSize, size_t alignment)
        : keySize(keySize),
          entrySize((sizeof(EntryHead) + keySize + valueSize + alignment - 1) / alignment *
                    alignment) {}

    // The derived table clears itself first: only it can destroy its entries.
    virtual ~HashCore() { A::Free(entries); }

    virtual uint32_t Hash(const void* key) const = 0;
    virtual bool Equals(const void* stored, const void* probe) const = 0;
    virtual void DestroyEntry(void* key, void* value) = 0;

private:
    struct EntryHead {
        int32_t next;  // next slot of the bucket, or of the free list; -1 ends either
        int32_t hash;  // the key's hash without bit 31; -1 marks a free slot
    };

    EntryHead* HeadOf(int32_t slot) const {
        return reinterpret_cast<EntryHead*>(entries + static_cast<size_t>(slot) * entrySize);
    }
    void* KeyOf(int32_t slot) const { return reinterpret_cast<char*>(HeadOf(slot) + 1); }
    void* ValueOf(int32_t slot) const { return static_cast<char*>(KeyOf(slot)) + keySize; }

    int32_t FindSlot(const void* key, int32_t hash) const {
        for (int32_t slot = buckets[hash % bucketCount]; slot >= 0; slot = HeadOf(slot)->next) {
            if (HeadOf(slot)->hash == hash && Equals(KeyOf(slot), key)) {
                return slot;
            }
        }
        return -1;
    }

    // Grows the block to the first table prime of at least `requested` entries, keeping every
    // slot where it is, and relinks the used slots in slot order.
    bool Rehash(int64_t requested) {
        const int32_t size = NextTablePrime(requested);
        if (size == 0 || static_cast<uint64_t>(size) > SIZE_MAX / (entrySize + 4)) {
            return false;
        }
        void* grown = A::Realloc(entries, (entrySize + 4) * static_cast<size_t>(size));
        if (!grown) {
            return false;
        }
        entries = static_cast<char*>(grown);
        bucketCount = size;
        buckets = reinterpret_cast<int32_t*>(entries + entrySize * static_cast<size_t>(size));
        for (int32_t i = 0; i < bucketCount; ++i) {
            buckets[i] = -1;
        }
        for (int32_t slot = 0; slot < SlotEnd(); ++slot) {
            EntryHead* head = HeadOf(slot);
            if (head->hash >= 0) {
                int32_t& bucket = buckets[head->hash % bucketCount];
                head->next = bucket;
                bucket = slot;
            }
        }
        return true;
    }

    size_t keySize;
    size_t entrySize;
    int32_t freeHead = -1;
    int32_t freeCount = 0;
    int32_t count = 0;
    int32_t bucketCount = 0;
    char* entries = nullptr;
    int32_t* buckets = nullptr;
};

}  // namespace Tessel
