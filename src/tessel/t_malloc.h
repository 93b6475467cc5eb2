#pragma once

#include <cstddef>
#include <cstdlib>

namespace Tessel {

// Allocator policy of the containers and strings: the process heap.
struct TMalloc {
    static void* Alloc(size_t size) { return std::malloc(size); }
    static void* Realloc(void* block, size_t size) { return std::realloc(block, size); }
    static void Free(void* block) { std::free(block); }
};

}  // namespace Tessel
