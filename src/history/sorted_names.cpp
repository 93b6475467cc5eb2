#include "history/sorted_names.h"

#include "history/natural_compare.h"

namespace {

// The first index whose element does not sort before `name` (orAfter false), or after it
// (orAfter true).
int Partition(const Tessel::List<Tessel::String>& sortedNames, const Tessel::String& name,
              bool orAfter) {
    int low = 0;
    int high = sortedNames.Count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const int order = NaturalCompare(sortedNames[middle], name);
        if (order < 0 || (orAfter && order == 0)) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

}  // namespace

int FindSortedName(const Tessel::List<Tessel::String>& sortedNames, const Tessel::String& name) {
    for (int i = Partition(sortedNames, name, false);
         i < sortedNames.Count() && NaturalCompare(sortedNames[i], name) == 0; ++i) {
        if (sortedNames[i] == name) {
            return i;
        }
    }
    return -1;
}

int FindSortedInsertPosition(const Tessel::List<Tessel::String>& sortedNames,
                             const Tessel::String& name) {
    return Partition(sortedNames, name, true);
}
