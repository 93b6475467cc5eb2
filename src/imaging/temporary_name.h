// The name a file is written under, beside its final name, until it is complete.
#ifndef GLIMPSER_IMAGING_TEMPORARY_NAME_H
#define GLIMPSER_IMAGING_TEMPORARY_NAME_H

#include <cstdint>

#include "tessel/string_core.h"

// "~Glimpser 12.1a2c.tmp" for "Glimpser 12.png" written by process 0x1a2c: never a history name,
// not even through a short 8.3 name, and one per process, so that writers never meet and a
// leftover names the process that left it.
Tessel::String TemporaryFileName(const Tessel::String& finalName, uint32_t processId);

// The final name's stem ("Glimpser 12") and the writer's process id of a name made by
// TemporaryFileName; false for any other name.
bool ParseTemporaryFileName(const Tessel::String& name, Tessel::String& stem, uint32_t& processId);

#endif
