// Names from arbitrary bytes through the history ordering and numbering: NaturalCompare must
// be a consistent order (it drives sorting and binary search), numbered names must order like
// their numbers, and a chosen number must sort after every numbered name.
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
    // Up to three names separated by line feeds; an embedded NUL ends a name early.
    std::string parts[3];
    int count = 0;
    for (size_t i = 0; i < size && count < 3; ++i) {
        if (data[i] == '\n') {
            ++count;
        } else {
            parts[count].push_back(static_cast<char>(data[i]));
        }
    }
    Tessel::List<Tessel::String> names;
    for (const std::string& part : parts) {
        names.Append(Tessel::String(part.c_str()));
    }
    for (int i = 0; i < 3; ++i) {
        Check(NaturalCompare(names[i], names[i]) == 0);
        for (int j = 0; j < 3; ++j) {
            const int ij = Sign(NaturalCompare(names[i], names[j]));
            Check(ij == -Sign(NaturalCompare(names[j], names[i])));
            int32_t ni = 0;
            int32_t nj = 0;
            if (ReadHistoryNumber(names[i].CStr(), kFormat, ni) &&
                ReadHistoryNumber(names[j].CStr(), kFormat, nj)) {
                Check(ij == (ni > nj) - (ni < nj));
            }
            for (int k = 0; k < 3; ++k) {
                if (ij <= 0 && NaturalCompare(names[j], names[k]) <= 0) {
                    Check(NaturalCompare(names[i], names[k]) <= 0);
                }
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
        int32_t unused = 0;
        for (const Tessel::String& name : names) {
            if (ReadHistoryNumber(name.CStr(), kFormat, unused)) {
                Check(NaturalCompare(name, chosen) < 0);
            }
        }
        const int position = FindSortedInsertPosition(names, chosen);
        Check(position == names.Count() || NaturalCompare(names[position], chosen) > 0);
    }
    return 0;
}
