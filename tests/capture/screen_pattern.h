#pragma once
// A test pattern on the real screen, drawn by a topmost window that lives on a thread of its
// own, so it stays painted while the test's thread sleeps or runs a modal loop. Every pixel's
// colour names its screen position: a copy shifted by one pixel cannot pass for the original.
#include <windows.h>

#include <cstdint>
#include <thread>
#include <vector>

// Wine gives a process about 65,500 GDI handles: an operation that leaks even one handle fails
// before it has been repeated this often.
inline constexpr int kMoreThanTheHandleLimit = 66000;

// 0x00RRGGBB of the pattern at the screen pixel (x, y).
uint32_t PatternColor(int x, int y);

class CPatternWindow {
public:
    CPatternWindow() = default;
    CPatternWindow(const CPatternWindow&) = delete;
    CPatternWindow& operator=(const CPatternWindow&) = delete;
    ~CPatternWindow();

    // Shows the window over the screen rectangle and answers once it is on the screen.
    bool Open(const RECT& screenRect);
    // Paints the whole window in one colour (0x00RRGGBB), or the pattern again with
    // kPattern; answers once the window's own thread has painted it.
    static constexpr uint32_t kPattern = 0xFF000000u;
    void Fill(uint32_t color);
    // Makes the window the foreground window, from its own thread.
    void Activate();
    // Shows or hides the pointer for the window's thread, whose input is the foreground one.
    void ShowPointer(bool show);
    // Sets the pointer's cursor from the window's thread (null hides its image).
    void SetPointer(HCURSOR cursor);
    HWND Window() const { return window; }

private:
    void Run(RECT screenRect);

    std::thread thread;
    HWND window = nullptr;
    // Set once the window is up, and again once it is gone.
    HANDLE ready = nullptr;
};

// Moves the pointer to a screen pixel. SendInput moves Wine's pointer but not the X server's,
// which reports its own position to a window that appears under it; SetCursorPos moves both.
void PointerTo(POINT point);

// A bitmap's pixels as 0x00RRGGBB, top-down, row after row.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> values;
    uint32_t At(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
};
Pixels ReadBitmapPixels(HBITMAP bitmap);

// The pixels of the screen rectangle as the pattern window shows them.
Pixels ExpectedPattern(const RECT& screenRect);

// A display-compatible bitmap holding the given pixels.
HBITMAP MakeBitmap(const Pixels& pixels);
