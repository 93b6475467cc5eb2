// Arbitrary command-line text through the splitter, the switch scan and the mode choice.
#include "app/command_line.h"
#include "app/run_mode_rules.h"
#include "fuzz/fuzz_harness.h"
#include "win/split_command_line.h"

void Fuzz(const std::string& input) {
    const Tessel::List<Tessel::String> arguments = SplitCommandLine(input.c_str());
    for (const Tessel::String& argument : arguments) {
        Check(!argument.IsEmpty());  // empty arguments are dropped by the splitter
    }
    LaunchOptions options;
    ScanArguments(arguments, options, [] {});
    Check(options.delayMs >= 0 && options.delayMs <= kMaxDelaySeconds * 1000);
    ChooseRunMode(options);
}
