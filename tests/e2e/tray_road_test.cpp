// The tray process and the captures it starts, as separate real processes.
#include <windows.h>
#include <shellapi.h>

#include "e2e/e2e_fixture.h"
#include "win/command_ids.h"
#include "win/win_text.h"

namespace {
const UINT kTrayIconMessage = WM_APP + 1;

// The capture processes started since the tray: every glimpser.exe but the tray itself.
std::vector<DWORD> CaptureProcesses(DWORD trayId) {
    std::vector<DWORD> ids;
    for (DWORD id : GlimpserProcessIds())
        if (id != trayId)
            ids.push_back(id);
    return ids;
}

// Waits for the first process other than the tray, and answers its command line.
std::wstring WaitForLaunch(DWORD trayId, DWORD* launched) {
    PumpMessagesUntil(
        [](void* context) { return !CaptureProcesses(*static_cast<DWORD*>(context)).empty(); },
        &trayId, kWait);
    std::vector<DWORD> ids = CaptureProcesses(trayId);
    if (ids.empty())
        return L"";
    *launched = ids[0];
    PumpMessagesFor(200);
    return ProcessCommandLine(ids[0]);
}

void Select(HWND tray) {
    SendMessageW(tray, kTrayIconMessage, MAKEWPARAM(10, 10), MAKELPARAM(NIN_SELECT, 1));
}
}  // namespace

TEST_F(EndToEnd, TrayIconClickCapturesIntoTheHistory) {
    GlimpserProcess tray(L"/tray");
    HWND trayWindow = WaitForTrayWindow(tray.Id());
    ASSERT_NE(trayWindow, nullptr);
    PatternWindow pattern;
    // The second request lies within the debounce time and launches nothing.
    Select(trayWindow);
    Select(trayWindow);
    DWORD capture = 0;
    EXPECT_TRUE(WaitForLaunch(tray.Id(), &capture).ends_with(L" /capture:region"));
    ASSERT_NE(WaitForProcessWindow(capture, L"", true, kWait), nullptr);
    EXPECT_EQ(CaptureProcesses(tray.Id()).size(), 1u);

    // Past the debounce time, a request while the capture runs still launches nothing.
    PumpMessagesFor(1100);
    Select(trayWindow);
    PumpMessagesFor(1000);
    EXPECT_EQ(CaptureProcesses(tray.Id()).size(), 1u);

    Drag(500, 400, 659, 519);
    HWND viewer = WaitForProcessWindow(capture, L"Glimpser (", false, kWait);
    ASSERT_NE(viewer, nullptr);
    ExpectHistoryFileShowsPattern(L"Glimpser 1.png", 500, 400, 160, 120);

    GlimpserProcess captureProcess(capture);
    EXPECT_EQ(CloseViewer(viewer, captureProcess), 0);
    EXPECT_EQ(ReadSettingDword(L"SmoothStretch", 99), 2u);
}

TEST_F(EndToEnd, TrayMenuCommandsLaunchWithTheirSwitches) {
    WriteSettingString(L"CaptureRegion", L"10,20,310,220");
    GlimpserProcess tray(L"/tray");
    HWND trayWindow = WaitForTrayWindow(tray.Id());
    ASSERT_NE(trayWindow, nullptr);
    struct Case {
        WORD command;
        const wchar_t* switches;
    } cases[] = {
        {ID_CAPTURE_REGION_DELAY5, L" /capture:region /delay:5"},
        {ID_CAPTURE_REGION_DELAY15, L" /capture:region /delay:15"},
        {ID_CAPTURE_SAME, L" /capture:same"},
        {ID_CAPTURE_SAME_DELAY5, L" /capture:same /delay:5"},
        {ID_CAPTURE_SAME_DELAY15, L" /capture:same /delay:15"},
        {ID_OPEN_LAST_CAPTURE, L" /open"},
    };
    for (const Case& c : cases) {
        PumpMessagesFor(1100);  // past the launch debounce
        PostMessageW(trayWindow, WM_COMMAND, c.command, 0);
        DWORD launched = 0;
        std::wstring line = WaitForLaunch(tray.Id(), &launched);
        EXPECT_TRUE(line.ends_with(c.switches)) << c.command << ": " << ToUtf8(line.c_str()).CStr();
        GlimpserProcess{launched};  // ends it
    }
}

TEST_F(EndToEnd, TrayTogglesSettingsAndExitReleasesTheInstance) {
    GlimpserProcess tray(L"/tray");
    HWND trayWindow = WaitForTrayWindow(tray.Id());
    ASSERT_NE(trayWindow, nullptr);

    SendMessageW(trayWindow, WM_COMMAND, ID_INCLUDE_CURSOR, 0);
    EXPECT_EQ(ReadSettingDword(L"IncludeCursor", 99), 0u);
    SendMessageW(trayWindow, WM_COMMAND, ID_INCLUDE_CURSOR, 0);
    EXPECT_EQ(ReadSettingDword(L"IncludeCursor", 99), 1u);

    SendMessageW(trayWindow, WM_COMMAND, ID_RUN_AT_STARTUP, 0);
    EXPECT_EQ(ReadRunEntry(), L"\"" + GlimpserPath() + L"\" /tray");
    SendMessageW(trayWindow, WM_COMMAND, ID_RUN_AT_STARTUP, 0);
    EXPECT_EQ(ReadRunEntry(), L"");

    PostMessageW(trayWindow, WM_COMMAND, ID_EXIT, 0);
    EXPECT_EQ(tray.WaitForExit(kWait), 0);
    GlimpserProcess again(L"/tray");
    EXPECT_NE(WaitForTrayWindow(again.Id()), nullptr);
    EXPECT_TRUE(again.Running());
}
