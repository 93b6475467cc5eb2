// Switch combinations of the real program: what runs, the exit code and the registry left.
#include "e2e/e2e_fixture.h"

TEST_F(EndToEnd, TrayWinsOverEverySwitchAndRegistersAtStartup) {
    GlimpserProcess tray(L"/tray");
    ASSERT_NE(WaitForTrayWindow(tray.Id()), nullptr);
    // With a tray running, any further tray start ends at once with 0, whatever else it says,
    // and leaves no other process behind.
    for (const wchar_t* arguments :
         {L"/tray", L"/TRAY /open", L"/capture:same /tray", L"/runatstartup /tray"}) {
        EXPECT_EQ(GlimpserProcess(arguments).WaitForExit(kWait), 0) << arguments;
        EXPECT_EQ(GlimpserProcessIds(), std::vector<DWORD>{tray.Id()}) << arguments;
    }
    EXPECT_EQ(ReadRunEntry(), L"\"" + GlimpserPath() + L"\" /tray");
    EXPECT_TRUE(tray.Running());
    EXPECT_EQ(ReadSettingString(L"CaptureRegion"), L"");
}

TEST_F(EndToEnd, OpenWinsOverCaptureSwitches) {
    GlimpserProcess glimpser(L"/open /capture:same /delay:5");
    HWND viewer = WaitForViewer(glimpser);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(FindProcessWindow(glimpser.Id(), L"", true), nullptr);
    EXPECT_EQ(CloseViewer(viewer, glimpser), 0);
    EXPECT_EQ(ReadSettingDword(L"SmoothStretch", 99), 2u);
    EXPECT_EQ(ReadSettingDword(L"LastSaveType", 99), 0u);
    EXPECT_EQ(ReadSettingString(L"CaptureRegion"), L"");
}

// Escape on an explicit capture ends the process with 0 and leaves no viewer, file or region
// behind; a malformed delay is no delay and an unknown argument changes nothing.
TEST_F(EndToEnd, EscapeOnAnExplicitCaptureShowsNoViewer) {
    for (const wchar_t* arguments :
         {L"/capture:region", L"/capture:REGION /delay:abc /bogus \"\""}) {
        GlimpserProcess glimpser(arguments);
        ASSERT_NE(WaitForOverlay(glimpser), nullptr) << arguments;
        PressKey(VK_ESCAPE);
        EXPECT_EQ(ExitWithoutWindow(glimpser, L"Glimpser (", kWait), 0) << arguments;
    }
    EXPECT_TRUE(HistoryFiles().empty());
    EXPECT_EQ(ReadSettingString(L"CaptureRegion"), L"");
    EXPECT_EQ(ReadRunEntry(), L"");
}
