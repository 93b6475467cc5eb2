// Arbitrary command-line text through the splitter and the switch scan.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/command_line.h"
#include "app/run_mode_rules.h"

namespace {

void NoRegistration() {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char* text = static_cast<char*>(std::malloc(size + 1));
    if (text == nullptr) {
        return 0;
    }
    std::memcpy(text, data, size);
    text[size] = '\0';
    const Tessel::List<Tessel::String> arguments = SplitCommandLine(text);
    std::free(text);

    for (int i = 0; i < arguments.Count(); ++i) {
        if (arguments[i].IsEmpty()) {
            std::abort();  // empty arguments are dropped by the splitter
        }
    }
    LaunchOptions options;
    ScanArguments(arguments, options, NoRegistration);
    if (options.delayMs < 0 || options.delayMs > kMaxDelaySeconds * 1000) {
        std::abort();
    }
    ChooseRunMode(options);
    return 0;
}
