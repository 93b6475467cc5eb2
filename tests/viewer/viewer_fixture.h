#pragma once
// A viewer over a history folder of the test's own, with fresh settings, and the means to
// make images and read back what the viewer shows.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/image_saving.h"
#include "imaging/scaler_test_image.h"
#include "support/bitmap_pixels.h"
#include "support/input.h"
#include "support/screen_pattern.h"
#include "support/temp_folder.h"
#include "tessel/format.h"
#include "viewer/main_window.h"
#include "win/message_recorder.h"
#include "win/settings.h"
#include "win/win_text.h"

// A bitmap of noise: no pixel looks like its neighbours, so a shifted, stretched or blended copy
// cannot pass for it.
inline HBITMAP MakeNoiseBitmap(int width, int height) {
    return MakeDibSection(width, height, [](int x, int y) { return Noise(x, y) & 0xFFFFFF; });
}

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarrowby Software\\Glimpser");
        SetSettingString("Settings", "HistoryFolder", folder);
    }
    void TearDown() override {
        CloseViewer();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarrowby Software\\Glimpser");
        EXPECT_EQ(messages.Take(), ShownMessages{}) << "messages no test looked at";
    }

    // Creates the viewer the way the program does, with bitmap as a fresh capture (none for a
    // view-only start).
    void OpenViewer(HBITMAP bitmap = nullptr) {
        viewer = std::make_unique<CMainWindow>();
        viewer->SetImage(bitmap);
        CreateViewerWindow();
        PumpMessagesFor(50);
        // A fresh capture's file is written on a worker thread.
        WaitFor([&] { return !viewer->Storing(); }, 30000);
    }
    void CreateViewerWindow() {
        viewer->Create(nullptr, RECT{0, 0, 0, 0}, L"Glimpser (100%)",
                       WS_OVERLAPPEDWINDOW | WS_VISIBLE, WS_EX_TOPMOST);
    }
    void CloseViewer() {
        if (viewer && viewer->hwnd) {
            DestroyWindow(viewer->hwnd);
        }
        viewer.reset();
    }
    HWND Window() const { return viewer->hwnd; }
    void Command(WORD id) { SendMessageW(Window(), WM_COMMAND, id, 0); }

    // "Glimpser <number>.png", written 11 × number pixels wide into the history folder.
    Tessel::String HistoryPath(int number) const {
        return Tessel::Format("%s\\Glimpser %i.png", folder.CStr(), number);
    }
    void WriteHistoryFile(int number) {
        ScopedBitmap bitmap(MakeSolidBitmap(11 * number, 10, RGB(number * 40, 0, 0)));
        EXPECT_TRUE(SaveImage(bitmap.Get(), HistoryPath(number), 96)) << number;
    }

    MessageRecorder messages;
    TempFolder temp;
    Tessel::String folder = ToUtf8(temp.Path().c_str());
    std::unique_ptr<CMainWindow> viewer;
};
