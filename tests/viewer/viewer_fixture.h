#pragma once
// A viewer over a history folder of the test's own, with fresh settings, and the means to
// make images and read back what the viewer shows.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "tessel/string_core.h"
#include "viewer/gdiplus_lifetime.h"
#include "viewer/main_window.h"

// Pixels as 0x00RRGGBB, row by row from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> values;
    uint32_t At(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
};

using PixelFunction = std::function<uint32_t(int x, int y)>;

// A display-compatible bitmap, like a fresh capture.
HBITMAP MakeBitmap(int width, int height, const PixelFunction& pixel);
Pixels ReadBitmap(HBITMAP bitmap);
// What the window shows in its client area after it has painted.
Pixels ReadClient(HWND window);
uint32_t ToPixel(COLORREF color);
bool FileExists(const Tessel::String& path);

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Constructs the viewer, gives it the bitmap (none for a view-only start) and creates its
    // window the way the program does.
    CMainWindow& OpenViewer(HBITMAP bitmap = nullptr);
    void CloseViewer();
    HWND Window() const { return viewer->hwnd; }
    void Command(WORD id) { SendMessageW(Window(), WM_COMMAND, id, 0); }
    Tessel::String Title() const;
    RECT WindowRect() const;
    RECT ClientRect() const;
    Size ShownImageSize() const;

    // Writes "Glimpser <number>.png" of the given size into the history folder.
    Tessel::String WriteHistoryFile(int number, int width, int height);
    Tessel::String HistoryPath(int number) const;

    Tessel::String folder;
    std::unique_ptr<CMainWindow> viewer;

private:
    GdiplusLifetime gdiplus;
};
