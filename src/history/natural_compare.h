// The order of history file names: "Glimpser 9.png" before "Glimpser 10.png".
#ifndef GLIMPSER_HISTORY_NATURAL_COMPARE_H
#define GLIMPSER_HISTORY_NATURAL_COMPARE_H

#include "tessel/string_core.h"

// Negative when `a` sorts first, zero when the two are equivalent, positive otherwise.
// Runs of ASCII digits compare by their value (read in wrapping 32-bit arithmetic, so leading
// zeros do not count and "007" equals "7"); other bytes compare with ASCII letters folded to
// lower case. The result is a consistent ordering even for digit runs that wrap, so it can
// drive sorting and binary search.
int NaturalCompare(const char* a, const char* b);

// The same, in the shape a List comparator takes. A null string compares like "".
int NaturalCompare(const Tessel::String& a, const Tessel::String& b);

#endif
