#pragma once
// COM for the program's one thread, started by the first call that needs it (the Save As
// dialog, the shell opening a folder) instead of at every start: under Wine CoInitialize takes
// 20-50 ms and 4 MiB of working set, and most processes, a capture that is viewed and closed,
// never need it.

// Initialises COM for the thread unless this has been done already.
void StartComOnce();
// Ends COM for the thread if StartComOnce began it; the process's last step.
void EndCom();
