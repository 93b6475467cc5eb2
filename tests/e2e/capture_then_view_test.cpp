// The capture-then-view and view-only modes of the real program, and the switches that choose
// them, driven from outside.
#include <cwchar>
#include <optional>

#include "e2e/e2e_fixture.h"

namespace {
// The viewer's client area shows exactly the pattern's pixels of the region.
void ExpectViewerShowsPattern(HWND viewer, const RECT& region) {
    PumpMessagesFor(500);
    RedrawWindow(viewer, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessagesFor(300);
    RECT client{};
    GetClientRect(viewer, &client);
    MapWindowPoints(viewer, nullptr, reinterpret_cast<POINT*>(&client), 2);
    ExpectPattern(ReadScreenPixels(client),
                  {client.right - client.left, client.bottom - client.top}, region);
}
}  // namespace

// One run of the program per row, each on the history and settings the rows before it left.
TEST_F(EndToEnd, EachStartRunsTheModeItsSwitchesAsk) {
    enum class Gesture { None, Escape, Drag };
    const RECT dragged{100, 120, 300, 270}, stored{40, 50, 240, 200};
    const struct Case {
        const wchar_t* arguments;
        const wchar_t* storedRegion;  // "CaptureRegion" written before the run; nullptr: kept
        Gesture gesture;              // on the overlay, which must come unless None
        bool viewer;                  // else the process ends with 0 and never shows one
        size_t files;                 // history files afterwards, the newest showing `shown`
        const RECT& shown;            // the pattern's region in the newest file and the viewer
        const wchar_t* regionAfter;   // "CaptureRegion" afterwards
    } cases[] = {
        // The press point and the last point moved to are both inside the region.
        {L"/capture:region", nullptr, Gesture::Drag, true, 1, dragged, L"100,120,300,270"},
        // The overlay ends at once on the pointer's position, without waiting for it to move.
        {L"/capture:same", L"40,50,240,200", Gesture::None, true, 2, stored, L"40,50,240,200"},
        // "/open" wins over the capture switches and shows the newest history file.
        {L"/open /capture:same /delay:5", nullptr, Gesture::None, true, 2, stored,
         L"40,50,240,200"},
        // A cancelled plain start still opens the viewer, on the newest history file.
        {L"", nullptr, Gesture::Escape, true, 2, stored, L"40,50,240,200"},
        // Escape on an explicit capture shows no viewer; a malformed delay is no delay and an
        // unknown argument changes nothing.
        {L"/capture:region", nullptr, Gesture::Escape, false, 2, stored, L"40,50,240,200"},
        {L"/capture:REGION /delay:abc /bogus \"\"", nullptr, Gesture::Escape, false, 2, stored,
         L"40,50,240,200"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        if (c.storedRegion)
            WriteSettingString(L"CaptureRegion", c.storedRegion);
        std::optional<PatternWindow> pattern(std::in_place);
        MoveMouseTo(900, 700);
        GlimpserProcess glimpser(c.arguments);
        if (c.gesture != Gesture::None) {
            ASSERT_NE(WaitForOverlay(glimpser), nullptr);
        }
        if (c.gesture == Gesture::Escape)
            PressKey(VK_ESCAPE);
        if (c.gesture == Gesture::Drag)
            Drag(c.shown.left, c.shown.top, c.shown.right - 1, c.shown.bottom - 1);
        if (c.viewer) {
            const HWND viewer = WaitForViewer(glimpser);
            ASSERT_NE(viewer, nullptr);
            EXPECT_EQ(FindProcessWindow(glimpser.Id(), L"", true), nullptr);
            EXPECT_EQ(WindowTitle(viewer), L"Glimpser (100%)");
            pattern.reset();
            ExpectViewerShowsPattern(viewer, c.shown);
            EXPECT_EQ(CloseViewer(viewer, glimpser), 0);
            EXPECT_EQ(ReadSettingDword(L"SmoothStretch", 99), 2u);
            EXPECT_EQ(ReadSettingDword(L"LastSaveType", 99), 0u);
        } else {
            const bool ended = WaitFor(
                [&] {
                    EXPECT_EQ(FindProcessWindow(glimpser.Id(), L"Glimpser (", false), nullptr);
                    return !glimpser.Running();
                },
                kWait);
            EXPECT_EQ(ended ? glimpser.WaitForExit(0) : -1, 0);
        }
        EXPECT_EQ(HistoryFiles().size(), c.files);
        ExpectHistoryFileShowsPattern((L"Glimpser " + std::to_wstring(c.files) + L".png").c_str(),
                                      c.shown);
        EXPECT_EQ(ReadSettingString(L"CaptureRegion"), c.regionAfter);
    }
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
        if (i == 1)
            WriteSettingDword(L"IncludeCursor", 0);
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
        const int x = static_cast<int>(i) % images[0].width,
                  y = static_cast<int>(i) / images[0].width;
        if (images[0].pixels[i] != images[1].pixels[i])
            ++(x >= 20 - 8 && x < 20 + 64 && y >= 20 - 8 && y < 20 + 64 ? inside : outside);
    }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
}
