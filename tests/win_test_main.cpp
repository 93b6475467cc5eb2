// Entry of every Windows test executable: the process starts the way glimpser.exe does, COM
// left to the first call that needs it.
#include <gtest/gtest.h>
#include <windows.h>

#include "win/com_start.h"

int main(int argc, char** argv) {
    SetProcessDPIAware();
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    EndCom();
    return result;
}
