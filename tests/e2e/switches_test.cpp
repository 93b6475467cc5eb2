// Switch combinations of the real program: what runs, the exit code and the registry left.
#include "e2e/e2e_fixture.h"
#include "support/input.h"

namespace {
const DWORD kWait = 15000;

bool TrayWindowOf(DWORD processId) {
    HWND window = FindWindowW(nullptr, L"Glimpser Tray");
    DWORD owner = 0;
    if (window)
        GetWindowThreadProcessId(window, &owner);
    return owner == processId;
}
}  // namespace

TEST_F(EndToEnd, TrayWinsOverEverySwitchAndRegistersAtStartup) {
    GlimpserProcess tray(L"/tray");
    DWORD trayId = tray.Id();
    ASSERT_TRUE(PumpMessagesUntil([](void* id) { return TrayWindowOf(*static_cast<DWORD*>(id)); },
                                  &trayId, kWait));
    // With a tray running, any further tray start ends at once with 0, whatever else it says.
    for (const wchar_t* arguments :
         {L"/TRAY /open", L"/capture:same /tray", L"/runatstartup /tray"}) {
        GlimpserProcess second(arguments);
        EXPECT_EQ(second.WaitForExit(kWait), 0) << arguments;
    }
    EXPECT_EQ(ReadRunEntry(), L"\"" + GlimpserPath() + L"\" /tray");
    EXPECT_TRUE(tray.Running());
    EXPECT_EQ(ReadSettingString(L"CaptureRegion"), L"");
}

TEST_F(EndToEnd, OpenWinsOverCaptureSwitches) {
    GlimpserProcess glimpser(L"/open /capture:same /delay:5");
    HWND viewer = WaitForProcessWindow(glimpser.Id(), L"Glimpser (", false, kWait);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(FindProcessWindow(glimpser.Id(), L"", true), nullptr);
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    EXPECT_EQ(glimpser.WaitForExit(kWait), 0);
    EXPECT_EQ(ReadSettingDword(L"SmoothStretch", 99), 2u);
    EXPECT_EQ(ReadSettingDword(L"LastSaveType", 99), 0u);
    EXPECT_EQ(ReadSettingString(L"CaptureRegion"), L"");
}

TEST_F(EndToEnd, MalformedSwitchesAreIgnored) {
    // A malformed delay is no delay, an unknown argument changes nothing: an explicit capture,
    // cancelled, ends with 0 and leaves no viewer, file or region behind.
    GlimpserProcess glimpser(L"/capture:REGION /delay:abc /bogus \"\"");
    ASSERT_NE(WaitForProcessWindow(glimpser.Id(), L"", true, kWait), nullptr);
    PumpMessagesFor(300);  // the overlay takes the keyboard once it is active
    PressKey(VK_ESCAPE);
    EXPECT_EQ(ExitWithoutWindow(glimpser, L"Glimpser (", kWait), 0);
    EXPECT_TRUE(HistoryFiles().empty());
    EXPECT_EQ(ReadSettingString(L"CaptureRegion"), L"");
    EXPECT_EQ(ReadRunEntry(), L"");
}
