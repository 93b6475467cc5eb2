#include "tray/self_launch.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/scoped_win.h"
#include "app/win_text.h"
#include "capture/capture_session.h"

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr DWORD kWaitPastDebounceMs = 1100;

void DeleteRunValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        ScopedKey owned(key);
        RegDeleteValueW(key, L"Glimpser");
    }
}

void WriteRunValue(DWORD type, const void* data, DWORD bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    ScopedKey owned(key);
    ASSERT_EQ(RegSetValueExW(key, L"Glimpser", 0, type, static_cast<const BYTE*>(data), bytes),
              ERROR_SUCCESS);
}

std::vector<std::string> launched;
bool launchAnswer = true;

bool RecordLaunch(const Tessel::String& commandLine) {
    launched.push_back(commandLine.CStr());
    return launchAnswer;
}

class SelfLaunch : public testing::Test {
protected:
    void SetUp() override {
        DeleteRunValue();
        launched.clear();
        launchAnswer = true;
        previousHook = SetLaunchHookForTesting(RecordLaunch);
    }
    void TearDown() override {
        SetLaunchHookForTesting(previousHook);
        DeleteRunValue();
    }

    std::string Expected(const char* switches) {
        return "\"" + std::string(GetModulePath().CStr()) + "\" " + switches;
    }

    LaunchHook previousHook = nullptr;
};

TEST_F(SelfLaunch, RunValueHoldsTheQuotedPathAndTraySwitch) {
    EXPECT_FALSE(IsRunAtStartup());
    SetRunAtStartup(true);
    ASSERT_TRUE(IsRunAtStartup());

    wchar_t data[400] = {};
    DWORD type = REG_NONE;
    DWORD bytes = sizeof(data);
    ASSERT_EQ(
        RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Glimpser", RRF_RT_ANY, &type, data, &bytes),
        ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    const Tessel::String text = ToUtf8(data);
    EXPECT_EQ(bytes, (lstrlenW(data) + 1) * sizeof(wchar_t));
    EXPECT_EQ(std::string(text.CStr()), Expected("/tray"));
    const Tessel::List<Tessel::String> arguments = SplitCommandLine(text.CStr());
    ASSERT_EQ(arguments.Count(), 2);
    EXPECT_TRUE(arguments[0] == GetModulePath());
    EXPECT_STREQ(arguments[1].CStr(), "/tray");

    SetRunAtStartup(false);
    EXPECT_FALSE(IsRunAtStartup());
    SetRunAtStartup(false);  // a missing value is no error
    EXPECT_FALSE(IsRunAtStartup());
}

TEST_F(SelfLaunch, OnlyStringValuesCountAsRunEntry) {
    struct Case {
        DWORD type;
        const void* data;
        DWORD bytes;
        bool counts;
    };
    const wchar_t text[] = L"\"C:\\elsewhere\\other.exe\" /tray";
    const DWORD number = 1;
    const Case cases[] = {
        {REG_SZ, text, sizeof(text), true},
        {REG_EXPAND_SZ, text, sizeof(text), true},
        {REG_SZ, L"", 0, true},  // whatever its text
        {REG_DWORD, &number, sizeof(number), false},
        {REG_BINARY, text, sizeof(text), false},
        {REG_MULTI_SZ, text, sizeof(text), false},
    };
    for (const Case& c : cases) {
        WriteRunValue(c.type, c.data, c.bytes);
        EXPECT_EQ(IsRunAtStartup(), c.counts) << "type " << c.type;
    }
}

TEST_F(SelfLaunch, CaptureIsLaunchedOncePerSecondAndNeverDuringACapture) {
    uint32_t last = 0;
    EXPECT_TRUE(LaunchCapture(32789, last));
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0], Expected("/capture:region /delay:5"));
    EXPECT_NE(last, 0u);

    const uint32_t first = last;
    EXPECT_FALSE(LaunchCapture(32769, last));  // a double click: dropped
    EXPECT_EQ(launched.size(), 1u);
    EXPECT_EQ(last, first);

    {
        // Another process is capturing: nothing starts and the debounce is not renewed.
        ScopedHandle capturing(CreateMutexW(nullptr, FALSE, kCaptureMutexName));
        ASSERT_TRUE(capturing);
        EXPECT_TRUE(IsCaptureRunning());
        Sleep(kWaitPastDebounceMs);
        EXPECT_FALSE(LaunchCapture(32804, last));
        EXPECT_EQ(launched.size(), 1u);
        EXPECT_EQ(last, first);
    }
    EXPECT_FALSE(IsCaptureRunning());

    EXPECT_TRUE(LaunchCapture(32804, last));
    ASSERT_EQ(launched.size(), 2u);
    EXPECT_EQ(launched[1], Expected("/capture:same"));
    EXPECT_GE(last - first, 1000u);
}

TEST_F(SelfLaunch, FailedLaunchLeavesTheDebounceAlone) {
    launchAnswer = false;
    uint32_t last = 0;
    EXPECT_FALSE(LaunchCapture(32806, last));
    EXPECT_EQ(last, 0u);
    launchAnswer = true;
    EXPECT_TRUE(LaunchCapture(32806, last));  // not held back by the failed attempt
    ASSERT_EQ(launched.size(), 2u);
    EXPECT_EQ(launched[1], Expected("/capture:same /delay:15"));
}

// The child half of the next test: started by it as a real process, it writes the command
// line it was given into the file the parent names. Run on its own it has nothing to do.
TEST(SelfLaunchChild, RecordsItsCommandLine) {
    wchar_t out[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"GLIMPSER_SELF_LAUNCH_OUT", out, MAX_PATH) == 0) {
        GTEST_SKIP() << "only meaningful when started by SelfLaunch.StartsThisExecutable";
    }
    const Tessel::String line = ToUtf8(GetCommandLineW());
    HANDLE created = CreateFileW(out, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    ScopedHandle file(created);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.Get(), line.CStr(), line.Length(), &written, nullptr));
}

TEST_F(SelfLaunch, StartsThisExecutableWithItsSwitches) {
    SetLaunchHookForTesting(nullptr);
    wchar_t folder[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, folder), 0u);
    const std::wstring out = std::wstring(folder) + L"glimpser_self_launch.txt";
    DeleteFileW(out.c_str());
    SetEnvironmentVariableW(L"GLIMPSER_SELF_LAUNCH_OUT", out.c_str());
    const bool started =
        LaunchSelf(Tessel::String("--gtest_filter=SelfLaunchChild.* /capture:same"));
    SetEnvironmentVariableW(L"GLIMPSER_SELF_LAUNCH_OUT", nullptr);
    ASSERT_TRUE(started);

    // The child's exclusive handle keeps us out until it has written everything.
    std::string line;
    for (;;) {
        HANDLE opened =
            CreateFileW(out.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (opened != INVALID_HANDLE_VALUE) {
            ScopedHandle file(opened);
            char buffer[1024];
            DWORD read = 0;
            if (ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
                line.assign(buffer, read);
                break;
            }
        }
        Sleep(50);
    }
    DeleteFileW(out.c_str());
    EXPECT_EQ(line, Expected("--gtest_filter=SelfLaunchChild.* /capture:same"));
}

}  // namespace
