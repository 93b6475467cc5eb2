#include "e2e/e2e_support.h"

#include <shlobj.h>
#include <tlhelp32.h>
#include <winternl.h>
#include <gdiplus.h>

#include "support/input.h"

namespace {
const wchar_t kSettingsKey[] = L"Software\\Tarrowby Software\\Glimpser\\Settings";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

RECT VirtualScreen() {
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

struct WindowQuery {
    DWORD processId;  // 0: any process
    const wchar_t* titlePrefix;
    bool overlay;
    const wchar_t* className = nullptr;  // nullptr: any class
    HWND found = nullptr;
    DWORD foundProcess = 0;
};

bool IsOverlay(HWND window) {
    LONG style = GetWindowLongW(window, GWL_STYLE);
    LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    return (style & WS_POPUP) && (exStyle & WS_EX_TOPMOST) && (exStyle & WS_EX_TOOLWINDOW);
}

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
    auto* query = reinterpret_cast<WindowQuery*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == GetCurrentProcessId())
        return TRUE;
    if (query->processId && owner != query->processId)
        return TRUE;
    if (!IsWindowVisible(window))
        return TRUE;
    if (query->overlay != IsOverlay(window))
        return TRUE;
    wchar_t className[16] = L"";
    GetClassNameW(window, className, 16);
    if (query->className && wcscmp(className, query->className) != 0)
        return TRUE;
    std::wstring title = WindowTitle(window);
    if (title.rfind(query->titlePrefix, 0) != 0)
        return TRUE;
    if (!query->processId) {
        // Only our program's windows count when any process may match.
        std::vector<DWORD> ids = GlimpserProcessIds();
        bool ours = false;
        for (DWORD id : ids)
            ours = ours || id == owner;
        if (!ours)
            return TRUE;
    }
    query->found = window;
    query->foundProcess = owner;
    return FALSE;
}

HWND Find(WindowQuery& query) {
    EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND WaitFor(WindowQuery& query, DWORD milliseconds) {
    auto done = [](void* context) { return Find(*static_cast<WindowQuery*>(context)) != nullptr; };
    PumpMessagesUntil(done, &query, milliseconds);
    return query.found;
}

std::wstring ReadString(const wchar_t* key, const wchar_t* name) {
    wchar_t value[1024] = L"";
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return L"";
    return value;
}

}  // namespace

PatternWindow::PatternWindow() : CPatternWindow(VirtualScreen()) {}

std::wstring GlimpserPath() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    // The exe sits at the top of the build tree; tests and benchmarks lie below it.
    for (size_t end = folder.find_last_of(L"\\/"); end != std::wstring::npos;
         end = folder.find_last_of(L"\\/")) {
        folder.resize(end);
        std::wstring candidate = folder + L"\\glimpser.exe";
        if (GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES)
            return candidate;
    }
    return L"glimpser.exe";
}

GlimpserProcess::GlimpserProcess(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + GlimpserPath() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info)) {
        CloseHandle(info.hThread);
        process = info.hProcess;
        id = info.dwProcessId;
    }
}

GlimpserProcess::GlimpserProcess(DWORD processId)
    : process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION,
                          FALSE, processId)),
      id(processId) {}

GlimpserProcess::~GlimpserProcess() {
    if (!process)
        return;
    if (Running()) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 5000);
    }
    CloseHandle(process);
}

bool GlimpserProcess::Running() const {
    return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

long GlimpserProcess::WaitForExit(DWORD milliseconds) {
    if (!process)
        return -1;
    auto exited = [](void* context) {
        return WaitForSingleObject(*static_cast<HANDLE*>(context), 0) == WAIT_OBJECT_0;
    };
    if (!PumpMessagesUntil(exited, &process, milliseconds))
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return static_cast<long>(code);
}

HWND FindProcessWindow(DWORD processId, const wchar_t* titlePrefix, bool overlay) {
    WindowQuery query{processId, titlePrefix, overlay};
    return Find(query);
}

HWND WaitForProcessWindow(DWORD processId, const wchar_t* titlePrefix, bool overlay,
                          DWORD milliseconds) {
    WindowQuery query{processId, titlePrefix, overlay};
    return WaitFor(query, milliseconds);
}

HWND WaitForAnyOverlay(DWORD* processId, DWORD milliseconds) {
    WindowQuery query{0, L"", true};
    HWND found = WaitFor(query, milliseconds);
    if (processId)
        *processId = query.foundProcess;
    return found;
}

HWND WaitForMessageBox(DWORD processId, DWORD milliseconds) {
    WindowQuery query{processId, L"", false, L"#32770"};
    return WaitFor(query, milliseconds);
}

std::wstring MessageBoxText(HWND box) {
    std::wstring text;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM c) -> BOOL {
            wchar_t name[16] = L"";
            GetClassNameW(child, name, 16);
            if (_wcsicmp(name, L"Static") == 0) {
                std::wstring part(static_cast<size_t>(GetWindowTextLengthW(child)) + 1, L'\0');
                part.resize(static_cast<size_t>(
                    GetWindowTextW(child, part.data(), static_cast<int>(part.size()))));
                *reinterpret_cast<std::wstring*>(c) += part;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    return text;
}

std::wstring WindowTitle(HWND window) {
    wchar_t title[256] = L"";
    GetWindowTextW(window, title, 256);
    return title;
}

void Drag(int fromX, int fromY, int toX, int toY) {
    MoveMouseTo(fromX, fromY);
    PumpMessagesFor(150);
    MouseButton(true, true);
    PumpMessagesFor(150);
    for (int step = 1; step <= 4; ++step) {
        MoveMouseTo(fromX + (toX - fromX) * step / 4, fromY + (toY - fromY) * step / 4);
        PumpMessagesFor(60);
    }
    PumpMessagesFor(150);
    MouseButton(true, false);
    PumpMessagesFor(150);
}

bool ReadImage(const std::wstring& path, Image& image) {
    using namespace Gdiplus;
    GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) != Ok)
        return false;
    bool ok = false;
    GpBitmap* bitmap = nullptr;
    if (DllExports::GdipCreateBitmapFromFile(path.c_str(), &bitmap) == Ok) {
        UINT width = 0, height = 0;
        DllExports::GdipGetImageWidth(bitmap, &width);
        DllExports::GdipGetImageHeight(bitmap, &height);
        REAL dpi = 0;
        DllExports::GdipGetImageHorizontalResolution(bitmap, &dpi);
        GpRect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
        BitmapData data{};
        if (DllExports::GdipBitmapLockBits(bitmap, &rect, ImageLockModeRead, PixelFormat32bppARGB,
                                           &data) == Ok) {
            image.width = static_cast<int>(width);
            image.height = static_cast<int>(height);
            image.dpiX = dpi;
            image.pixels.resize(static_cast<size_t>(width) * height);
            for (UINT y = 0; y < height; ++y) {
                auto* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(data.Scan0) +
                                                           static_cast<INT_PTR>(y) * data.Stride);
                for (UINT x = 0; x < width; ++x)
                    image.pixels[static_cast<size_t>(y) * width + x] = row[x] & 0x00FFFFFF;
            }
            DllExports::GdipBitmapUnlockBits(bitmap, &data);
            ok = true;
        }
        DllExports::GdipDisposeImage(bitmap);
    }
    GdiplusShutdown(token);
    return ok;
}

std::wstring HistoryFolder() {
    wchar_t documents[MAX_PATH];
    SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, documents);
    return std::wstring(documents) + L"\\My Glimpser Images";
}

std::vector<std::wstring> FilesMatching(const std::wstring& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

std::vector<std::wstring> HistoryFiles() {
    return FilesMatching(HistoryFolder() + L"\\*.png");
}

void ResetUserState() {
    TerminateGlimpserProcesses();
    for (const std::wstring& name : FilesMatching(HistoryFolder() + L"\\*")) {
        const std::wstring path = HistoryFolder() + L"\\" + name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarrowby Software\\Glimpser");
    HKEY run;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_WRITE, &run) == ERROR_SUCCESS) {
        RegDeleteValueW(run, L"Glimpser");
        RegCloseKey(run);
    }
}

std::wstring ReadSettingString(const wchar_t* name) {
    return ReadString(kSettingsKey, name);
}

DWORD ReadSettingDword(const wchar_t* name, DWORD missing) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS)
        return missing;
    return value;
}

void WriteSettingString(const wchar_t* name, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void WriteSettingDword(const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof value);
}

void WriteSettingRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, type, data, size);
}

std::wstring ReadRunEntry() {
    return ReadString(kRunKey, L"Glimpser");
}

std::vector<DWORD> GlimpserProcessIds() {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, L"glimpser.exe") == 0)
            ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

std::wstring ProcessCommandLine(DWORD processId) {
    std::wstring result;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process)
        return result;
    PROCESS_BASIC_INFORMATION basic{};
    PEB peb{};
    RTL_USER_PROCESS_PARAMETERS parameters{};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic,
                                  nullptr) == 0 &&
        ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, nullptr) &&
        ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters,
                          nullptr)) {
        result.resize(parameters.CommandLine.Length / sizeof(wchar_t));
        ReadProcessMemory(process, parameters.CommandLine.Buffer, result.data(),
                          parameters.CommandLine.Length, nullptr);
    }
    CloseHandle(process);
    return result;
}

void TerminateGlimpserProcesses() {
    for (DWORD id : GlimpserProcessIds())
        GlimpserProcess{id};
}
