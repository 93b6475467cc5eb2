#pragma once
#include <gtest/gtest.h>

#include "e2e/e2e_support.h"

// Every end-to-end test starts from an empty history, no settings and no log-on entry, and
// leaves no program running behind it.
class EndToEnd : public testing::Test {
protected:
    void SetUp() override { ResetUserState(); }
    void TearDown() override { TerminateGlimpserProcesses(); }
};

// Waits for the process to end and answers its exit code, failing the test if any window
// whose title starts with the prefix was seen meanwhile.
inline long ExitWithoutWindow(GlimpserProcess& process, const wchar_t* titlePrefix,
                              DWORD milliseconds) {
    long code = -1;
    for (DWORD waited = 0; waited < milliseconds; waited += 100) {
        EXPECT_EQ(FindProcessWindow(process.Id(), titlePrefix, false), nullptr);
        code = process.WaitForExit(100);
        if (code != -1)
            break;
    }
    return code;
}
