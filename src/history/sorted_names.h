// Look-ups in a list of names kept in NaturalCompare order, in logarithmic time, so that
// walking or editing a history of thousands of files stays linear overall.
#ifndef GLIMPSER_HISTORY_SORTED_NAMES_H
#define GLIMPSER_HISTORY_SORTED_NAMES_H

#include "tessel/list.h"
#include "tessel/string_core.h"

// The index of the first element equal to `name` byte for byte, or -1. Only elements that
// NaturalCompare finds equivalent can match, and they sit together in a sorted list.
int FindSortedName(const Tessel::List<Tessel::String>& sortedNames, const Tessel::String& name);

// Where `name` goes to keep the order: after every element that does not sort after it.
int FindSortedInsertPosition(const Tessel::List<Tessel::String>& sortedNames,
                             const Tessel::String& name);

#endif
