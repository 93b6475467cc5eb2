// The tray process and the processes it starts, as separate real processes, driven through its
// icon's notifications and its menu commands.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <winternl.h>

#include "e2e/e2e_fixture.h"
#include "win/command_ids.h"

namespace {
const UINT kTrayIconMessage = WM_APP + 1;

// The first glimpser.exe other than the tray, once it runs; 0 when none came.
DWORD WaitForLaunch(DWORD trayId) {
    const auto other = [trayId] {
        const std::vector<DWORD> ids = GlimpserProcessIds();
        return ids.size() < 2 ? 0 : ids[ids[0] == trayId];
    };
    return WaitFor(other, kWait);
}

// The hidden tray window, once there is one; null if none came.
HWND WaitForTrayWindow() {
    return WaitFor([] { return FindWindowW(nullptr, L"Glimpser Tray"); }, kWait);
}

// Nothing hands over another process's command line: it is read from its parameter block.
std::wstring ProcessCommandLine(DWORD processId) {
    const ScopedHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    PROCESS_BASIC_INFORMATION basic{};
    PEB peb{};
    RTL_USER_PROCESS_PARAMETERS parameters{};
    NtQueryInformationProcess(process.Get(), ProcessBasicInformation, &basic, sizeof basic,
                              nullptr);
    ReadProcessMemory(process.Get(), basic.PebBaseAddress, &peb, sizeof peb, nullptr);
    ReadProcessMemory(process.Get(), peb.ProcessParameters, &parameters, sizeof parameters,
                      nullptr);
    std::wstring line(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    ReadProcessMemory(process.Get(), parameters.CommandLine.Buffer, line.data(),
                      parameters.CommandLine.Length, nullptr);
    return line;
}

void Select(HWND tray) {
    SendMessageW(tray, kTrayIconMessage, MAKEWPARAM(10, 10), MAKELPARAM(NIN_SELECT, 1));
}

// The tray's icon once it shows, and so its keys are held; hWnd is null if it never came.
NOTIFYICONDATAW WaitForTrayIcon() {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = WaitForTrayWindow();
    icon.uID = 1;
    if (!WaitFor([&] { return icon.hWnd && Shell_NotifyIconW(NIM_MODIFY, &icon); }, kWait))
        icon.hWnd = nullptr;
    return icon;
}

// The text of the balloon the shell shows, or "" while it shows none. The balloon is a tooltip
// of the shell's process; a tooltip answers WM_GETTEXT with the text it shows.
std::wstring ShownBalloonText() {
    for (HWND tip = nullptr; (tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));) {
        if (IsWindowVisible(tip) && (GetWindowLongW(tip, GWL_STYLE) & TTS_BALLOON)) {
            wchar_t text[1024] = L"";
            SendMessageW(tip, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
            return text;
        }
    }
    return L"";
}

// The capture process shows its overlay and ends without a file when Escape is pressed there.
void EscapeOverlay(DWORD processId) {
    GlimpserProcess capture(processId);
    ASSERT_NE(WaitForOverlay(capture), nullptr);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(capture.WaitForExit(kWait), 0);
}
}  // namespace

TEST_F(EndToEnd, TrayRunsOnceLaunchesCapturesAndTogglesSettings) {
    GlimpserProcess tray(L"/tray");
    // The window is found while it is still being made; its icon comes with the end of that.
    NOTIFYICONDATAW icon = WaitForTrayIcon();
    const HWND window = icon.hWnd;
    ASSERT_NE(window, nullptr);
    // What a restarted taskbar looks like to the tray: its icon is gone, and it adds it again.
    EXPECT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &icon));
    SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &icon));
    const std::wstring runEntry = L"\"" + GlimpserPath() + L"\" /tray";
    // With a tray running, any further tray start ends at once with 0, whatever else it says,
    // and leaves no other process behind.
    for (const wchar_t* arguments :
         {L"/tray", L"/TRAY /open", L"/capture:same /tray", L"/runatstartup /tray"}) {
        EXPECT_EQ(GlimpserProcess(arguments).WaitForExit(kWait), 0) << arguments;
        EXPECT_EQ(GlimpserProcessIds(), std::vector<DWORD>{tray.Id()}) << arguments;
    }
    EXPECT_EQ(ReadRunEntry(), runEntry);
    EXPECT_EQ(ReadSetting(L"CaptureRegion"), L"");

    SendMessageW(window, WM_COMMAND, ID_INCLUDE_CURSOR, 0);
    EXPECT_EQ(ReadSetting(L"IncludeCursor"), L"dword:0");
    SendMessageW(window, WM_COMMAND, ID_INCLUDE_CURSOR, 0);
    EXPECT_EQ(ReadSetting(L"IncludeCursor"), L"dword:1");
    SendMessageW(window, WM_COMMAND, ID_RUN_AT_STARTUP, 0);
    EXPECT_EQ(ReadRunEntry(), L"");
    SendMessageW(window, WM_COMMAND, ID_RUN_AT_STARTUP, 0);
    EXPECT_EQ(ReadRunEntry(), runEntry);

    std::optional<PatternWindow> pattern(std::in_place);
    // The second request lies within the debounce time and launches nothing.
    Select(window);
    Select(window);
    GlimpserProcess capture(WaitForLaunch(tray.Id()));
    ASSERT_NE(WaitForOverlay(capture), nullptr);
    EXPECT_TRUE(ProcessCommandLine(capture.Id()).ends_with(L" /capture:region"));
    EXPECT_EQ(GlimpserProcessIds().size(), 2u);
    // Past the debounce time, a request while the capture runs still launches nothing.
    PumpMessagesFor(1100);
    Select(window);
    PumpMessagesFor(1000);
    EXPECT_EQ(GlimpserProcessIds().size(), 2u);
    // The overlay goes on showing the screen as it was grabbed.
    pattern.reset();
    const RECT dragged{500, 400, 660, 520};
    RunProgram(
        {"a capture from the icon", nullptr, Gesture::Drag, true, L"Glimpser 1.png", &dragged},
        &capture);

    const std::pair<WORD, const wchar_t*> commands[] = {
        {ID_CAPTURE_REGION_DELAY5, L" /capture:region /delay:5"},
        {ID_CAPTURE_REGION_DELAY15, L" /capture:region /delay:15"},
        {ID_CAPTURE_SAME, L" /capture:same"},
        {ID_CAPTURE_SAME_DELAY5, L" /capture:same /delay:5"},
        {ID_CAPTURE_SAME_DELAY15, L" /capture:same /delay:15"},
        {ID_OPEN_LAST_CAPTURE, L" /open"},
    };
    for (const auto& [command, switches] : commands) {
        PumpMessagesFor(1100);  // past the launch debounce
        PostMessageW(window, WM_COMMAND, command, 0);
        const GlimpserProcess launched(WaitForLaunch(tray.Id()));  // ends it
        PumpMessagesFor(200);
        const std::wstring line = ProcessCommandLine(launched.Id());
        EXPECT_TRUE(line.ends_with(switches)) << command << ": " << line;
    }

    PostMessageW(window, WM_COMMAND, ID_EXIT, 0);
    EXPECT_EQ(tray.WaitForExit(kWait), 0);
    GlimpserProcess again(L"/tray");
    EXPECT_NE(WaitForTrayWindow(), nullptr);
    EXPECT_TRUE(again.Running());
}

// The keys under Print Screen, pressed with real input. While another program holds Print
// Screen the tray starts all the same and its icon and other keys work; once it can have the
// key, two quick presses start one capture.
TEST_F(EndToEnd, TrayHotkeysStartCapturesAndYieldToAnotherProgram) {
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, 0, VK_SNAPSHOT));
    std::optional<GlimpserProcess> tray(std::in_place, L"/tray");
    HWND window = WaitForTrayIcon().hWnd;
    ASSERT_NE(window, nullptr);
    std::wstring balloon;
    WaitFor([&] { return !(balloon = ShownBalloonText()).empty(); }, kWait);
    EXPECT_EQ(balloon,
              L"Print Screen is already in use. Glimpser's setting HotkeyCapture "
              L"chooses another key.");
    Select(window);
    EscapeOverlay(WaitForLaunch(tray->Id()));

    // Like its grey menu item, the same-region key does nothing before a region is stored.
    PumpMessagesFor(1100);  // past the launch debounce
    PressKeys({VK_SHIFT, VK_SNAPSHOT});
    PumpMessagesFor(1500);
    EXPECT_EQ(GlimpserProcessIds(), std::vector<DWORD>{tray->Id()});
    const RECT region{300, 200, 420, 290};
    WriteSettingString(L"CaptureRegion", L"300,200,420,290");
    std::optional<PatternWindow> pattern(std::in_place);
    PressKeys({VK_SHIFT, VK_SNAPSHOT});
    GlimpserProcess same(WaitForLaunch(tray->Id()));
    ASSERT_NE(WaitForViewer(same), nullptr);
    pattern.reset();
    // Its checks take more than the debounce time.
    RunProgram(
        {"the same region by its key", nullptr, Gesture::None, true, L"Glimpser 1.png", &region},
        &same);

    const DWORD pressed = GetTickCount();
    PressKeys({VK_CONTROL, VK_SNAPSHOT});
    GlimpserProcess delayed(WaitForLaunch(tray->Id()));
    ASSERT_NE(WaitForProcessWindow(delayed.Id(), L"", true, 2 * kWait), nullptr);
    EXPECT_GE(GetTickCount() - pressed, 5400u) << "the delay and the 400 ms before the grab";
    EscapeOverlay(delayed.Id());
    PostMessageW(window, WM_COMMAND, ID_EXIT, 0);
    EXPECT_EQ(tray->WaitForExit(kWait), 0);
    UnregisterHotKey(nullptr, 1);

    tray.emplace(L"/tray");
    window = WaitForTrayIcon().hWnd;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GlimpserProcess(L"/tray").WaitForExit(kWait), 0);
    PressKey(VK_SNAPSHOT);
    PressKey(VK_SNAPSHOT);
    const DWORD capture = WaitForLaunch(tray->Id());
    PumpMessagesFor(1000);
    EXPECT_EQ(GlimpserProcessIds().size(), 2u) << "the second press lies within the debounce time";
    EscapeOverlay(capture);
    EXPECT_EQ(ShownBalloonText(), L"") << "every key was taken";
    PostMessageW(window, WM_COMMAND, ID_EXIT, 0);
    EXPECT_EQ(tray->WaitForExit(kWait), 0);
}
