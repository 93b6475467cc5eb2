#pragma once
// Drives the real glimpser.exe from outside: processes, their windows, a known pattern on
// screen, the files they write and the registry they leave.
#include <windows.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "imaging/gdiplus_api.h"
#include "imaging/gdiplus_lifetime.h"
#include "support/bitmap_pixels.h"
#include "support/input.h"
#include "support/screen_pattern.h"
#include "support/trash.h"
#include "win/scoped_win.h"

namespace e2e {
inline constexpr wchar_t kSettingsKey[] = L"Software\\Tarrowby Software\\Glimpser\\Settings";
inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
}  // namespace e2e

// The test pattern over the whole virtual screen.
using PatternWindow = CPatternWindow;

// The exe sits at the top of the build tree; tests and benchmarks lie below it.
inline std::wstring GlimpserPath() {
    wchar_t path[MAX_PATH];
    std::filesystem::path folder(std::wstring(path, GetModuleFileNameW(nullptr, path, MAX_PATH)));
    while (folder.has_relative_path() && !std::filesystem::exists(folder / L"glimpser.exe"))
        folder = folder.parent_path();
    return (folder / L"glimpser.exe").wstring();
}

class GlimpserProcess {
public:
    // Starts glimpser.exe with the arguments. It inherits no handle: a process left behind must
    // not hold the test runner's output open.
    explicit GlimpserProcess(const std::wstring& arguments) {
        std::wstring commandLine = L"\"" + GlimpserPath() + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info);
        CloseHandle(info.hThread);
        process.Reset(info.hProcess);
        id = info.dwProcessId;
    }
    // Takes over a process already running (ended like one it started).
    explicit GlimpserProcess(DWORD processId)
        : process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION,
                              FALSE, processId)),
          id(processId) {}
    ~GlimpserProcess() {
        if (Running())
            Kill();
    }

    // Ends the process at once, as a crash would; true once it has ended.
    bool Kill() {
        TerminateProcess(process.Get(), 99);
        return WaitForSingleObject(process.Get(), 5000) == WAIT_OBJECT_0;
    }

    DWORD Id() const { return id; }
    bool Running() const { return WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT; }
    // Waits (pumping this thread's messages) for the exit; answers the exit code, or -1 on timeout.
    long WaitForExit(DWORD milliseconds) {
        DWORD code = 0;
        const bool ended = process && WaitFor([this] { return !Running(); }, milliseconds);
        return ended && GetExitCodeProcess(process.Get(), &code) ? static_cast<long>(code) : -1;
    }

private:
    ScopedHandle process;
    DWORD id = 0;
};

// Processes of glimpser.exe now running.
inline std::vector<DWORD> GlimpserProcessIds() {
    std::vector<DWORD> ids;
    const ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, L"glimpser.exe") == 0)
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

inline void TerminateGlimpserProcesses() {
    for (DWORD id : GlimpserProcessIds())
        GlimpserProcess{id};
}

inline std::wstring WindowTitle(HWND window) {
    wchar_t title[256] = L"";
    GetWindowTextW(window, title, 256);
    return title;
}

// The visible top-level window of the process (of any glimpser.exe when 0, whose id goes to
// `owner`) whose title starts with the prefix, of the class when one is given; the overlay (a
// topmost popup tool window) is found with an empty prefix and the overlay flag.
inline HWND FindProcessWindow(DWORD processId, const wchar_t* titlePrefix, bool overlay,
                              const wchar_t* className = nullptr, DWORD* owner = nullptr) {
    const std::vector<DWORD> ids = processId ? std::vector<DWORD>{processId} : GlimpserProcessIds();
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr));) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
        const bool isOverlay = (GetWindowLongW(window, GWL_STYLE) & WS_POPUP) &&
                               (exStyle & WS_EX_TOPMOST) && (exStyle & WS_EX_TOOLWINDOW);
        if (std::ranges::count(ids, process) && IsWindowVisible(window) && isOverlay == overlay &&
            WindowTitle(window).starts_with(titlePrefix)) {
            if (owner)
                *owner = process;
            return window;
        }
    }
    return nullptr;
}
inline HWND WaitForProcessWindow(DWORD processId, const wchar_t* titlePrefix, bool overlay,
                                 DWORD milliseconds) {
    return WaitFor([&] { return FindProcessWindow(processId, titlePrefix, overlay); },
                   milliseconds);
}
// Any process's overlay, and its process id.
inline HWND WaitForAnyOverlay(DWORD* processId, DWORD milliseconds) {
    return WaitFor([&] { return FindProcessWindow(0, L"", true, nullptr, processId); },
                   milliseconds);
}

// Drags with real input from one screen pixel to another, in a few steps.
inline void Drag(int fromX, int fromY, int toX, int toY) {
    MoveMouseTo(fromX, fromY);
    PumpMessagesFor(150);
    MouseButton(true, true);
    PumpMessagesFor(150);
    for (int step = 1; step <= 4; ++step) {
        MoveMouseTo(fromX + (toX - fromX) * step / 4, fromY + (toY - fromY) * step / 4);
        PumpMessagesFor(step < 4 ? 60 : 210);
    }
    MouseButton(true, false);
    PumpMessagesFor(150);
}

struct Image {
    int width = 0;
    int height = 0;
    double dpiX = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top-down rows
};
// Decodes an image file with GDI+; false when it cannot be read.
inline bool ReadImage(const std::wstring& path, Image& image) {
    ScopedBitmap bitmap;
    {
        const GdiplusLifetime gdiplus;
        Gdiplus::Bitmap file(path.c_str());
        HBITMAP handle = nullptr;
        file.GetHBITMAP(Gdiplus::Color(), &handle);
        bitmap.Reset(handle);
        image.dpiX = file.GetHorizontalResolution();
    }
    const SIZE size = BitmapSize(bitmap.Get());
    image.width = size.cx;
    image.height = size.cy;
    image.pixels = BitmapPixels(bitmap.Get());
    return static_cast<bool>(bitmap);
}

inline std::wstring HistoryFolder() {
    wchar_t documents[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, documents);
    return std::wstring(documents) + L"\\My Glimpser Images";
}

// The names of the files (not folders) that match the pattern ("C:\\folder\\*.png"), "|" between.
inline std::wstring FilesMatching(const std::wstring& pattern) {
    std::wstring names;
    WIN32_FIND_DATAW data;
    for (ScopedFind find(FindFirstFileW(pattern.c_str(), &data)); find;) {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names += (names.empty() ? L"" : L"|") + std::wstring(data.cFileName);
        if (!FindNextFileW(find.Get(), &data))
            break;
    }
    return names;
}

// Empties the history folder and the Recycle Bin and removes the program's settings and log-on
// entry.
inline void ResetUserState() {
    TerminateGlimpserProcesses();
    EmptyTrash();
    std::error_code error;
    std::filesystem::remove_all(HistoryFolder(), error);
    std::filesystem::create_directories(HistoryFolder(), error);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarrowby Software\\Glimpser");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, e2e::kRunKey, L"Glimpser");
}

// A value of the user's registry as text: a string as stored, a DWORD as "dword:N"; empty
// when absent or of another type.
inline std::wstring ReadUserValue(const wchar_t* key, const wchar_t* name) {
    wchar_t text[1024] = L"";
    DWORD type = 0, size = sizeof text, number = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ | RRF_RT_REG_DWORD, &type, text,
                     &size) != ERROR_SUCCESS)
        return L"";
    std::memcpy(&number, text, sizeof number);
    return type == REG_DWORD ? L"dword:" + std::to_wstring(number) : text;
}
inline std::wstring ReadSetting(const wchar_t* name) {
    return ReadUserValue(e2e::kSettingsKey, name);
}
inline std::wstring ReadRunEntry() {
    return ReadUserValue(e2e::kRunKey, L"Glimpser");
}
inline void WriteSettingRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    RegSetKeyValueW(HKEY_CURRENT_USER, e2e::kSettingsKey, name, type, data, size);
}
inline void WriteSettingString(const wchar_t* name, const std::wstring& value) {
    WriteSettingRaw(name, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}
