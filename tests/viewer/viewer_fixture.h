#pragma once
// A viewer over a history folder of the test's own, with fresh settings, and the means to
// make images and read back what the viewer shows.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/gdiplus_lifetime.h"
#include "support/temp_folder.h"
#include "tessel/string_core.h"
#include "viewer/main_window.h"

// A display-compatible bitmap, like a fresh capture, of pixel(x, y) as 0x00RRGGBB.
HBITMAP MakeBitmap(int width, int height, uint32_t (*pixel)(int x, int y));
// What the window shows in its client area once it has painted, top-down, row after row.
std::vector<uint32_t> ReadClient(HWND window);
bool FileExists(const Tessel::String& path);

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the viewer the way the program does, with bitmap as a fresh capture (none for a
    // view-only start).
    void OpenViewer(HBITMAP bitmap = nullptr);
    void CloseViewer();
    HWND Window() const { return viewer->hwnd; }
    void Command(WORD id) { SendMessageW(Window(), WM_COMMAND, id, 0); }
    Tessel::String Title() const;
    RECT WindowRect() const {
        RECT r{};
        GetWindowRect(Window(), &r);
        return r;
    }
    RECT ClientRect() const {
        RECT r{};
        GetClientRect(Window(), &r);
        return r;
    }

    // Writes "Glimpser <number>.png", 11 × number pixels wide, into the history folder.
    void WriteHistoryFile(int number);
    Tessel::String HistoryPath(int number) const;

    TempFolder temp;
    Tessel::String folder;
    std::unique_ptr<CMainWindow> viewer;

private:
    GdiplusLifetime gdiplus;
};
