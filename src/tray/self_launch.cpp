#include "tray/self_launch.h"

#include <windows.h>

#include "capture/capture_session.h"
#include "tray/launch_rules.h"
#include "win/scoped_win.h"
#include "win/win_text.h"

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kRunValue[] = L"Glimpser";

LaunchHook launchHook = nullptr;

}  // namespace

Tessel::String GetModulePath() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return Tessel::String();
    }
    return ToUtf8(path);
}

bool LaunchSelf(const Tessel::String& switches) {
    const Tessel::String modulePath = GetModulePath();
    if (modulePath.IsEmpty()) {
        return false;
    }
    const Tessel::String command = FormatSelfCommand(modulePath, switches.CStr());
    const Tessel::WString line = ToLaunchLine(command);
    if (line.IsNull()) {
        return false;
    }
    if (launchHook != nullptr) {
        return launchHook(command);
    }
    // CreateProcessW may write into its command line, so it gets a buffer of its own.
    wchar_t buffer[kLaunchLineUnits];
    lstrcpynW(buffer, WStr(line), kLaunchLineUnits);
    // The new process is started on the user's behalf; let it take the foreground.
    AllowSetForegroundWindow(ASFW_ANY);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_FORCEOFFFEEDBACK;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, buffer, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    // Nobody waits for the new process: release our handles to it at once.
    ScopedHandle thread(process.hThread);
    ScopedHandle child(process.hProcess);
    return true;
}

bool LaunchCapture(uint16_t command, uint32_t& lastLaunchTicks) {
    if (IsCaptureRunning() || IsLaunchDebounced(lastLaunchTicks, GetTickCount())) {
        return false;
    }
    if (!LaunchSelf(Tessel::String(CaptureSwitches(command)))) {
        return false;
    }
    lastLaunchTicks = GetTickCount();
    return true;
}

bool IsCaptureRunning() {
    ScopedHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, kCaptureMutexName));
    return mutex.Get() != nullptr;
}

bool IsRunAtStartup() {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return false;
    }
    ScopedKey key(opened);
    DWORD type = REG_NONE;
    if (RegQueryValueExW(key.Get(), kRunValue, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

void SetRunAtStartup(bool enable) {
    // An entry without our path would start nothing at log-on; leave the registry alone.
    const Tessel::String modulePath = enable ? GetModulePath() : Tessel::String();
    if (enable && modulePath.IsEmpty()) {
        return;
    }
    HKEY opened = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &opened, nullptr) != ERROR_SUCCESS) {
        return;
    }
    ScopedKey key(opened);
    if (enable) {
        const Tessel::WString text = ToWide(FormatSelfCommand(modulePath, "/tray"));
        const DWORD bytes = static_cast<DWORD>((text.Length() + 1) * sizeof(char16_t));
        RegSetValueExW(key.Get(), kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(WStr(text)),
                       bytes);
    } else {
        RegDeleteValueW(key.Get(), kRunValue);
    }
}

LaunchHook SetLaunchHookForTesting(LaunchHook hook) {
    LaunchHook previous = launchHook;
    launchHook = hook;
    return previous;
}
