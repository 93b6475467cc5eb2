// The tray process and the captures it starts, as separate real processes.
#include <windows.h>
#include <shellapi.h>

#include "e2e/e2e_fixture.h"
#include "win/command_ids.h"
#include "win/split_command_line.h"
#include "win/win_text.h"

namespace {
const UINT kTrayIconMessage = WM_APP + 1;

HWND WaitForTrayWindow(DWORD processId) {
    struct Query {
        DWORD processId;
        HWND found;
    } query{processId, nullptr};
    auto done = [](void* context) {
        auto* q = static_cast<Query*>(context);
        HWND window = FindWindowW(nullptr, L"Glimpser Tray");
        DWORD owner = 0;
        if (window)
            GetWindowThreadProcessId(window, &owner);
        if (owner == q->processId)
            q->found = window;
        return q->found != nullptr;
    };
    PumpMessagesUntil(done, &query, kWait);
    return query.found;
}

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
    if (launched)
        *launched = ids[0];
    PumpMessagesFor(200);
    return ProcessCommandLine(ids[0]);
}

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

void Select(HWND tray) {
    SendMessageW(tray, kTrayIconMessage, MAKEWPARAM(10, 10), MAKELPARAM(NIN_SELECT, 1));
}
}  // namespace

TEST_F(EndToEnd, TrayIconClickCapturesIntoTheHistory) {
    GlimpserProcess tray(L"/tray");
    HWND trayWindow = WaitForTrayWindow(tray.Id());
    ASSERT_NE(trayWindow, nullptr);
    {
        GlimpserProcess second(L"/tray");
        EXPECT_EQ(second.WaitForExit(kWait), 0);
    }
    EXPECT_TRUE(tray.Running());
    EXPECT_EQ(GlimpserProcessIds().size(), 1u);

    PatternWindow pattern;
    // The second request lies within the debounce time and launches nothing.
    Select(trayWindow);
    Select(trayWindow);
    DWORD capture = 0;
    EXPECT_TRUE(EndsWith(WaitForLaunch(tray.Id(), &capture), L" /capture:region"));
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

    PostMessageW(viewer, WM_CLOSE, 0, 0);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, capture);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(WaitForSingleObject(process, kWait), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    EXPECT_EQ(code, 0u);
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
        EXPECT_TRUE(EndsWith(line, c.switches)) << c.command << ": " << ToUtf8(line.c_str()).CStr();
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, launched);
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
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
    std::wstring entry = ReadRunEntry();
    EXPECT_EQ(entry, L"\"" + GlimpserPath() + L"\" /tray");
    Tessel::List<Tessel::String> arguments = SplitCommandLine(ToUtf8(entry.c_str()).CStr());
    ASSERT_EQ(arguments.Count(), 2);
    EXPECT_EQ(std::wstring(WStr(ToWide(arguments[0]))), GlimpserPath());
    SendMessageW(trayWindow, WM_COMMAND, ID_RUN_AT_STARTUP, 0);
    EXPECT_EQ(ReadRunEntry(), L"");

    PostMessageW(trayWindow, WM_COMMAND, ID_EXIT, 0);
    EXPECT_EQ(tray.WaitForExit(kWait), 0);
    GlimpserProcess again(L"/tray");
    EXPECT_NE(WaitForTrayWindow(again.Id()), nullptr);
    EXPECT_TRUE(again.Running());
}
