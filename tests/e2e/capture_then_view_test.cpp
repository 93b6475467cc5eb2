// The capture-then-view and view-only modes of the real program, and the switches that choose
// them, driven from outside.
#include <cwchar>

#include "e2e/e2e_fixture.h"

// One run of the program per row, each on the history and settings the rows before it left.
TEST_F(EndToEnd, EachStartRunsTheModeItsSwitchesAsk) {
    const RECT stored{40, 50, 240, 200}, dragged{100, 120, 300, 270};
    const wchar_t* const both = L"Glimpser 1.png|Glimpser 2.png";
    const wchar_t* const region = L"100,120,300,270";
    WriteSettingString(L"CaptureRegion", L"40,50,240,200");
    const ProgramRun runs[] = {
        // The overlay ends at once on the pointer's position, without waiting for it to move.
        {"the stored region", L"/capture:same", Gesture::None, true, L"Glimpser 1.png", &stored,
         L"40,50,240,200"},
        {"a region dragged", L"/capture:region", Gesture::Drag, true, both, &dragged, region},
        // "/open" wins over the capture switches and shows the newest history file.
        {"open", L"/open /capture:same /delay:5", Gesture::None, true, both, &dragged, region},
        {"a cancelled plain start", L"", Gesture::Escape, true, both, &dragged, region},
        // Escape on an explicit capture shows no viewer; a malformed delay is no delay and an
        // unknown argument changes nothing.
        {"a cancelled capture with bad switches", L"/capture:REGION /delay:abc /bogus \"\"",
         Gesture::Escape, false, both, &dragged, region},
        {"the viewer's Save As and its capture of the same region", L"/capture:same",
         Gesture::SaveAsThenCaptureAgain, true,
         L"Glimpser 1.png|Glimpser 2.png|Glimpser 3.png|Glimpser 4.png", &dragged, region},
    };
    for (const ProgramRun& run : runs)
        RunProgram(run);
    EXPECT_EQ(ReadRunEntry(), L"");
}

// A delayed capture started from outside, with the pointer resting over another program's
// window: the capture with the pointer differs from one without it, and only around the point
// where the overlay first saw the mouse.
TEST_F(EndToEnd, DelayedCaptureDrawsThePointerOverAnotherProgramsWindow) {
    GlimpserProcess other(L"/open");
    const HWND window = WaitForViewer(other);
    ASSERT_NE(window, nullptr);
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    wchar_t region[64];
    swprintf(region, 64, L"%ld,%ld,%ld,%ld", client.left, client.top, client.right, client.bottom);
    WriteSettingString(L"CaptureRegion", region);
    Image images[2];
    for (int i = 0; i < 2; ++i) {
        // The first run with "IncludeCursor" absent, which draws the pointer; the second without.
        const DWORD without = 0;
        if (i == 1)
            WriteSettingRaw(L"IncludeCursor", REG_DWORD, &without, sizeof without);
        MoveMouseTo(client.left + 20, client.top + 20);
        PumpMessagesFor(300);
        GlimpserProcess glimpser(L"/capture:same /delay:1");
        const HWND viewer = WaitForViewer(glimpser);
        ASSERT_NE(viewer, nullptr);
        ASSERT_EQ(CloseViewer(viewer, glimpser), 0);
        ASSERT_TRUE(ReadImage(HistoryFolder() + L"\\Glimpser " + std::to_wstring(i + 1) + L".png",
                              images[i]));
        ASSERT_EQ(images[i].width, client.right - client.left);
    }
    int inside = 0, outside = 0;
    for (size_t i = 0; i < images[0].pixels.size(); ++i) {
        const int x = static_cast<int>(i) % images[0].width;
        const int y = static_cast<int>(i) / images[0].width;
        if (images[0].pixels[i] != images[1].pixels[i])
            ++(x >= 20 - 8 && x < 20 + 64 && y >= 20 - 8 && y < 20 + 64 ? inside : outside);
    }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
}
