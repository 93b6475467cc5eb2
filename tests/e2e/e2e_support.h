#pragma once
// Drives the real glimpser.exe from outside: processes, their windows, a known pattern on
// screen, the files they write and the registry they leave.
#include <windows.h>

#include <string>
#include <vector>

#include "support/input.h"
#include "support/screen_pattern.h"
#include "win/scoped_win.h"

// The test pattern over the whole virtual screen.
using PatternWindow = CPatternWindow;

class GlimpserProcess {
public:
    // Starts glimpser.exe (beside the test executable's build tree) with the arguments.
    explicit GlimpserProcess(const std::wstring& arguments);
    // Takes over a process already running (ended like one it started).
    explicit GlimpserProcess(DWORD processId);
    ~GlimpserProcess();

    DWORD Id() const { return id; }
    bool Running() const { return WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT; }
    // Waits (pumping this thread's messages) for the exit; answers the exit code, or -1 on timeout.
    long WaitForExit(DWORD milliseconds);

private:
    ScopedHandle process;
    DWORD id = 0;
};

std::wstring GlimpserPath();

// The visible top-level window of the process (of any glimpser.exe when 0) whose title starts
// with the prefix, of the class when one is given; the overlay is found with an empty prefix
// and the overlay flag.
HWND FindProcessWindow(DWORD processId, const wchar_t* titlePrefix, bool overlay,
                       const wchar_t* className = nullptr, DWORD* owner = nullptr);
HWND WaitForProcessWindow(DWORD processId, const wchar_t* titlePrefix, bool overlay,
                          DWORD milliseconds);
// Any process's visible overlay (full-screen, topmost tool window), and its process id.
HWND WaitForAnyOverlay(DWORD* processId, DWORD milliseconds);
std::wstring WindowTitle(HWND window);

// Drags with real input from one screen pixel to another, in a few steps.
void Drag(int fromX, int fromY, int toX, int toY);

struct Image {
    int width = 0;
    int height = 0;
    double dpiX = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top-down rows
};
// Decodes an image file with GDI+; false when it cannot be read.
bool ReadImage(const std::wstring& path, Image& image);

std::wstring HistoryFolder();
// The names of the files (not folders) that match the pattern ("C:\\folder\\*.png").
std::vector<std::wstring> FilesMatching(const std::wstring& pattern);
// Empties the history folder and removes the program's settings and log-on entry.
void ResetUserState();

std::wstring ReadSettingString(const wchar_t* name);
// The DWORD setting, or `missing` when the value is absent or not a DWORD.
DWORD ReadSettingDword(const wchar_t* name, DWORD missing);
void WriteSettingRaw(const wchar_t* name, DWORD type, const void* data, DWORD size);
void WriteSettingString(const wchar_t* name, const std::wstring& value);
// The log-on entry's text, empty when absent.
std::wstring ReadRunEntry();

// Processes of glimpser.exe now running.
std::vector<DWORD> GlimpserProcessIds();
void TerminateGlimpserProcesses();
