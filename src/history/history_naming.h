// How history captures are numbered and how many of them are kept.
#ifndef GLIMPSER_HISTORY_HISTORY_NAMING_H
#define GLIMPSER_HISTORY_HISTORY_NAMING_H

#include <cstdint>

#include "tessel/list.h"
#include "tessel/string_core.h"

// The number for the next capture: at least `nextNumber`, and its name sorts after the newest
// name in `sortedNames` (NaturalCompare order) that any number can sort after. A name such as
// "Glimpser abc.png" sorts after every number and takes no part, or no number would ever do;
// "Glimpser 12x.png" is followed by 13. False when no number is left; the largest 32-bit value
// is never handed out, so the number after the chosen one always exists.
bool ChooseHistoryNumber(const Tessel::List<Tessel::String>& sortedNames, const char* nameFormat,
                         int32_t nextNumber, int32_t& number);

// How many of the oldest `count` names go so that `maxHistory` stay, but never more than the
// `older` names that sort before the capture being stored: a file of another process newer than
// it is not ours to trim. A negative `maxHistory` keeps everything.
int TrimCount(int count, int32_t maxHistory, int older);

// Whether `name` is `nameFormat` with a run of decimal digits in place of its "%i", letters in
// either case: a name this program gives a capture.
bool IsHistoryName(const char* name, const char* nameFormat);

#endif
