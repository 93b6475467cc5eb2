// Names from arbitrary bytes through the reading of temporary names: whatever is read back as a
// leftover's stem and writer gives that very name again.
#include "fuzz/fuzz_harness.h"
#include "imaging/temporary_name.h"

void Fuzz(const std::string& input) {
    const Tessel::String name(input.c_str());
    Tessel::String stem;
    uint32_t processId = 0;
    if (ParseTemporaryFileName(name, stem, processId)) {
        const Tessel::String again = TemporaryFileName(
            Tessel::String((std::string(stem.CStr()) + ".png").c_str()), processId);
        Check(again == name);
    }
}
