#include "fuzz/fuzz_harness.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fuzz(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
