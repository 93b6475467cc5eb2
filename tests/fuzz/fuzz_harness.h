#pragma once
// The entry every fuzz target shares. The target gets the input as a string: its c_str() is the
// terminated text that the parsers read (an embedded NUL ends it early), and every byte is
// there for targets that read raw values.
#include <cstdlib>
#include <string>

// Defined by each target.
void Fuzz(const std::string& input);

// A broken property aborts, which libFuzzer reports with the input that broke it.
inline void Check(bool holds) {
    if (!holds) {
        std::abort();
    }
}
