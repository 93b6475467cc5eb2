// The resource compiler's view of the program's numbers; the numbers themselves
// live beside the code that uses them.
#include "../src/app/command_ids.h"
