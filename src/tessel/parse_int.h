// Whole-number reading shared by the command line and the stored capture region.
#ifndef GLIMPSER_TESSEL_PARSE_INT_H
#define GLIMPSER_TESSEL_PARSE_INT_H

#include <cstdint>

// Reads an optional sign and at least one decimal digit, with nothing after the digits but
// spaces, tabs, carriage returns and line feeds. Anything else, or no text, gives `def`.
// The digits accumulate in wrapping 32-bit arithmetic, so over-long numbers wrap instead of
// failing.
int32_t ParseInt(const char* text, int32_t def);

#endif
