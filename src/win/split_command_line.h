// Splitting a command line into arguments, the way this program and the programs it starts
// read them.
#ifndef GLIMPSER_WIN_SPLIT_COMMAND_LINE_H
#define GLIMPSER_WIN_SPLIT_COMMAND_LINE_H

#include "tessel/list.h"
#include "tessel/string_core.h"

// Splits on ASCII whitespace. A double quote toggles quoting and is dropped; two double quotes
// give one literal quote. A backslash is an ordinary character. Empty arguments are dropped.
Tessel::List<Tessel::String> SplitCommandLine(const char* text);

#endif
