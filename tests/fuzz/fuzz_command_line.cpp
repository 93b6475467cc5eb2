// Arbitrary command-line text through the splitter, the switch scan and the mode choice.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/command_line.h"
#include "app/run_mode_rules.h"
#include "win/split_command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The parsers read terminated text; an embedded NUL simply ends it early.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Tessel::List<Tessel::String> arguments = SplitCommandLine(text.c_str());
    for (int i = 0; i < arguments.Count(); ++i) {
        if (arguments[i].IsEmpty()) {
            std::abort();  // empty arguments are dropped by the splitter
        }
    }
    LaunchOptions options;
    ScanArguments(arguments, options, [] {});
    if (options.delayMs < 0 || options.delayMs > kMaxDelaySeconds * 1000) {
        std::abort();
    }
    ChooseRunMode(options);
    return 0;
}
