// The capture-then-view and view-only modes of the real program, driven from outside.
#include "e2e/e2e_fixture.h"
#include "win/command_ids.h"

TEST_F(EndToEnd, RegionCaptureWritesThePatternAndOpensTheViewer) {
    PatternWindow pattern;
    GlimpserProcess glimpser(L"/capture:region");
    ASSERT_NE(WaitForOverlay(glimpser), nullptr);
    // The press point and the last point moved to are both inside the region.
    Drag(100, 120, 299, 269);

    HWND viewer = WaitForViewer(glimpser);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(WindowTitle(viewer), L"Glimpser (100%)");
    EXPECT_EQ(HistoryFiles(), std::vector<std::wstring>{L"Glimpser 1.png"});
    ExpectHistoryFileShowsPattern(L"Glimpser 1.png", 100, 120, 200, 150);
    // pHYs holds whole pixels per metre: 96 dpi is stored as 3780, read back as 96.012.
    Image image;
    ASSERT_TRUE(ReadImage(HistoryFolder() + L"\\Glimpser 1.png", image));
    const HDC screen = GetDC(nullptr);
    EXPECT_NEAR(image.dpiX, GetDeviceCaps(screen, LOGPIXELSX), 0.05);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(ReadSettingString(L"CaptureRegion"), L"100,120,300,270");

    EXPECT_EQ(CloseViewer(viewer, glimpser), 0);
    EXPECT_EQ(ReadSettingDword(L"SmoothStretch", 99), 2u);
    EXPECT_EQ(ReadSettingDword(L"LastSaveType", 99), 0u);
}

TEST_F(EndToEnd, CancelledPlainStartStillOpensTheViewer) {
    GlimpserProcess glimpser(L"");
    ASSERT_NE(WaitForOverlay(glimpser), nullptr);
    PressKey(VK_ESCAPE);
    HWND viewer = WaitForViewer(glimpser);
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(HistoryFiles().empty());
    EXPECT_EQ(CloseViewer(viewer, glimpser), 0);
}

TEST_F(EndToEnd, SameRegionCutsTheStoredRegionWithoutADrag) {
    WriteSettingString(L"CaptureRegion", L"40,50,240,200");
    PatternWindow pattern;
    MoveMouseTo(900, 700);
    // The overlay ends at once on the pointer's position, without waiting for it to move.
    GlimpserProcess glimpser(L"/capture:same");
    HWND viewer = WaitForViewer(glimpser);
    ASSERT_NE(viewer, nullptr);
    ExpectHistoryFileShowsPattern(L"Glimpser 1.png", 40, 50, 200, 150);
    EXPECT_EQ(ReadSettingString(L"CaptureRegion"), L"40,50,240,200");
    EXPECT_EQ(CloseViewer(viewer, glimpser), 0);
}

TEST_F(EndToEnd, SaveAsOpensTheSystemDialog) {
    WriteSettingString(L"CaptureRegion", L"0,0,100,100");
    GlimpserProcess glimpser(L"/capture:same");
    HWND viewer = WaitForViewer(glimpser);
    ASSERT_NE(viewer, nullptr);
    // The real dialog, which the program starts COM for (in-process tests answer it themselves).
    PostMessageW(viewer, WM_COMMAND, ID_SAVE_AS, 0);
    const HWND dialog = WaitForProcessWindow(glimpser.Id(), L"Save", false, kWait);
    ASSERT_NE(dialog, nullptr);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(CloseViewer(viewer, glimpser), 0);
}

TEST_F(EndToEnd, OpenShowsTheNewestHistoryFile) {
    {
        PatternWindow pattern;
        for (int i = 0; i < 2; ++i) {
            // Two captures of different places: the newest is the second.
            GlimpserProcess glimpser(L"/capture:region");
            ASSERT_NE(WaitForOverlay(glimpser), nullptr);
            Drag(300 + 100 * i, 200, 699 + 100 * i, 499);
            HWND viewer = WaitForViewer(glimpser);
            ASSERT_NE(viewer, nullptr);
            ASSERT_EQ(CloseViewer(viewer, glimpser), 0);
        }
    }
    Image newest;
    ASSERT_TRUE(ReadImage(HistoryFolder() + L"\\Glimpser 2.png", newest));

    GlimpserProcess glimpser(L"/open");
    HWND viewer = WaitForViewer(glimpser);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(FindProcessWindow(glimpser.Id(), L"", true), nullptr);
    PumpMessagesFor(500);
    RedrawWindow(viewer, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessagesFor(300);

    // The viewer's client area shows the newest file pixel for pixel.
    RECT client;
    GetClientRect(viewer, &client);
    ASSERT_EQ(client.right, newest.width);
    ASSERT_EQ(client.bottom, newest.height);
    POINT origin{0, 0};
    ClientToScreen(viewer, &origin);
    HDC screen = GetDC(nullptr);
    int mismatches = 0;
    for (int y = 0; y < newest.height; y += 7) {
        for (int x = 0; x < newest.width; x += 7) {
            COLORREF shown = GetPixel(screen, origin.x + x, origin.y + y);
            mismatches +=
                RGB(GetBValue(shown), GetGValue(shown), GetRValue(shown)) != newest.At(x, y);
        }
    }
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(CloseViewer(viewer, glimpser), 0);
}

// A delayed capture started from outside, with the pointer resting over another program's
// window: the capture with the pointer differs from one without it, and only around the point
// where the overlay first saw the mouse.
TEST_F(EndToEnd, DelayedCaptureDrawsThePointerOverAnotherProgramsWindow) {
    GlimpserProcess other(L"/open");
    HWND window = WaitForViewer(other);
    ASSERT_NE(window, nullptr);
    RECT client;
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    WriteSettingString(L"CaptureRegion", std::to_wstring(origin.x) + L"," +
                                             std::to_wstring(origin.y) + L"," +
                                             std::to_wstring(origin.x + client.right) + L"," +
                                             std::to_wstring(origin.y + client.bottom));
    const POINT rest{origin.x + 20, origin.y + 20};
    Image images[2];
    for (int i = 0; i < 2; ++i) {
        // The first run without the pointer; the second with IncludeCursor absent.
        if (i == 0)
            WriteSettingDword(L"IncludeCursor", 0);
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER,
                               L"Software\\Tarrowby Software\\Glimpser\\Settings",
                               L"IncludeCursor");
        MoveMouseTo(rest.x, rest.y);
        PumpMessagesFor(300);
        GlimpserProcess glimpser(L"/capture:same /delay:1");
        HWND viewer = WaitForViewer(glimpser);
        ASSERT_NE(viewer, nullptr);
        ASSERT_EQ(CloseViewer(viewer, glimpser), 0);
        ASSERT_TRUE(ReadImage(
            HistoryFolder() + (i == 0 ? L"\\Glimpser 1.png" : L"\\Glimpser 2.png"), images[i]));
        ASSERT_EQ(images[i].width, client.right);
    }
    int inside = 0, outside = 0;
    for (int y = 0; y < images[0].height; ++y) {
        for (int x = 0; x < images[0].width; ++x) {
            if (images[0].At(x, y) != images[1].At(x, y)) {
                const bool nearPointer = x >= 20 - 8 && x < 20 + 64 && y >= 20 - 8 && y < 20 + 64;
                ++(nearPointer ? inside : outside);
            }
        }
    }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
}
