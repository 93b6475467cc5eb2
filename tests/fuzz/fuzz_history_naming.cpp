// Names from arbitrary bytes through the history ordering and numbering.
#include <sstream>

#include "fuzz/fuzz_harness.h"
#include "history/naming_properties.h"

void Fuzz(const std::string& input) {
    // Three names separated by line feeds; an embedded NUL ends a name early.
    std::istringstream lines(input);
    Tessel::List<Tessel::String> names;
    for (int i = 0; i < 3; ++i) {
        std::string name;
        std::getline(lines, name);
        names.Append(Tessel::String(name.c_str()));
    }
    Check(NamingPropertiesHold(names));
}
