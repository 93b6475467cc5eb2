// Naming, filtering and ordering of the programs offered by the viewer's "Open &With" submenu.
#ifndef GLIMPSER_VIEWER_OPEN_WITH_RULES_H
#define GLIMPSER_VIEWER_OPEN_WITH_RULES_H

#include "tessel/string_core.h"

// The version resource's description of a program, empty when it has none.
using DescribeProgram = Tessel::String (*)(const Tessel::String& program);

// The file name of `program` without its extension: "C:\Tools\Gimp.exe" gives "Gimp".
Tessel::String ProgramTitle(const Tessel::String& program);

// The menu text for a registered command: the description of its program (its first
// argument) when it has one, else the program's title. False when the entry is not offered:
// no program, an empty title, a "rundll" helper, or the "Program" left over from an unquoted
// path under Program Files.
bool NameOpenWithCommand(const Tessel::String& command, DescribeProgram describe,
                         Tessel::String& name);

// Verbs of the type's own ProgID that the submenu leaves out: its open and edit commands are
// what a double click already does, and printto needs a printer argument.
bool IsSkippedVerb(const Tessel::String& verb);

// Byte order with A-Z folded to a-z, for sorting the entries by name.
int CompareOpenWithNames(const Tessel::String& a, const Tessel::String& b);

#endif
