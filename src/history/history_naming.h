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

// How many of the oldest `count` names go so that `maxHistory` stay; a negative `maxHistory`
// keeps everything.
int TrimCount(int count, int32_t maxHistory);

#endif
