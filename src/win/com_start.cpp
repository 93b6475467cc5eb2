#include "win/com_start.h"

#include <objbase.h>

namespace {

// Every caller runs on the one user-interface thread, so no lock guards this.
bool started = false;

}  // namespace

void StartComOnce() {
    if (!started) {
        // The result is not checked: a thread already in an apartment still works, and one that
        // cannot enter one leaves the caller's COM call to fail on its own.
        CoInitialize(nullptr);
        started = true;
    }
}

void EndCom() {
    if (started) {
        CoUninitialize();
        started = false;
    }
}
