// Names from arbitrary bytes through the history ordering and numbering: NaturalCompare must
// be a consistent order (it drives sorting and binary search), numbered names must order like
// their numbers, and a chosen number must sort after every name that some number can follow.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "history/history_naming.h"
#include "history/natural_compare.h"
#include "history/sorted_names.h"
#include "tessel/format.h"

namespace {

const char kFormat[] = "Glimpser %i.png";

int Sign(int value) {
    return (value > 0) - (value < 0);
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Three names separated by line feeds; an embedded NUL ends a name early.
    std::string parts[3];
    for (size_t i = 0, part = 0; i < size && part < 3; ++i) {
        if (data[i] == '\n') {
            ++part;
        } else {
            parts[part].push_back(static_cast<char>(data[i]));
        }
    }
    Tessel::List<Tessel::String> names;
    for (const std::string& part : parts) {
        names.Append(Tessel::String(part.c_str()));
    }
    for (const Tessel::String& a : names) {
        for (const Tessel::String& b : names) {
            const int ab = Sign(NaturalCompare(a, b));
            Check(ab == -Sign(NaturalCompare(b, a)));
            int32_t na = 0;
            int32_t nb = 0;
            if (ReadHistoryNumber(a.CStr(), kFormat, na) &&
                ReadHistoryNumber(b.CStr(), kFormat, nb)) {
                Check(ab == (na > nb) - (na < nb));
            }
            for (const Tessel::String& c : names) {
                Check(ab > 0 || NaturalCompare(b, c) > 0 || NaturalCompare(a, c) <= 0);
            }
        }
    }
    names.Sort(NaturalCompare);
    for (const Tessel::String& name : names) {
        const int found = FindSortedName(names, name);
        Check(found >= 0 && names[found] == name);
    }
    int32_t number = 0;
    if (ChooseHistoryNumber(names, kFormat, 1, number)) {
        const Tessel::String chosen = Tessel::Format(kFormat, number);
        const Tessel::String largest = Tessel::Format(kFormat, INT32_MAX - 1);
        for (const Tessel::String& name : names) {
            Check(NaturalCompare(name, chosen) < 0 || NaturalCompare(name, largest) >= 0);
        }
        const int position = FindSortedInsertPosition(names, chosen);
        Check(position == names.Count() || NaturalCompare(names[position], chosen) > 0);
    }
    return 0;
}
