// The resource compiler's view of the program's numbers; the numbers themselves
// live beside the code that uses them.
#include "../src/win/command_ids.h"
