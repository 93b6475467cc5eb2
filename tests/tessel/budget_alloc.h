#pragma once

#include <cstddef>
#include <cstdlib>

// Allocator policy that grants a set number of allocations and then fails, to show what the
// containers do when the heap is exhausted.
struct BudgetAlloc {
    static inline int grants = 0;

    static void* Alloc(size_t size) { return Grant() ? std::malloc(size) : nullptr; }
    static void* Realloc(void* block, size_t size) {
        return Grant() ? std::realloc(block, size) : nullptr;
    }
    static void Free(void* block) { std::free(block); }

private:
    static bool Grant() {
        if (grants == 0) {
            return false;
        }
        --grants;
        return true;
    }
};
