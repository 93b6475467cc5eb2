#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "e2e/e2e_support.h"
#include "support/png_bytes.h"
#include "win/command_ids.h"

// How long any one step of the program may take under a loaded Wine.
constexpr DWORD kWait = 15000;

// Every end-to-end test starts from an empty history, no settings and no log-on entry, and
// leaves no program running behind it.
class EndToEnd : public testing::Test {
protected:
    void SetUp() override { ResetUserState(); }
    void TearDown() override { TerminateGlimpserProcesses(); }
};

// The process's overlay, once it is up and has the keyboard; null if it never came.
inline HWND WaitForOverlay(const GlimpserProcess& process) {
    const HWND overlay = WaitForProcessWindow(process.Id(), L"", true, kWait);
    PumpMessagesFor(300);
    return overlay;
}
// The process's viewer window, titled with its zoom; null if it never came.
inline HWND WaitForViewer(const GlimpserProcess& process) {
    return WaitForProcessWindow(process.Id(), L"Glimpser (", false, kWait);
}
// The process's message box, answered with the button: its text, or empty when none came
// within the time.
inline std::wstring AnswerMessage(const GlimpserProcess& process, int button,
                                  DWORD milliseconds = kWait) {
    const HWND box = WaitFor([&] { return FindProcessWindow(process.Id(), L"", false, L"#32770"); },
                             milliseconds);
    wchar_t text[1024] = L"";
    if (box) {
        GetDlgItemTextW(box, 0xFFFF, text, 1024);  // the message box's text control
        PostMessageW(box, WM_COMMAND, button, 0);
        WaitFor([&] { return !IsWindow(box); }, kWait);
    }
    return text;
}
// What closing, and every other command that would drop it, asks while a capture is in no file.
inline constexpr wchar_t kUnsavedQuestion[] =
    L"The capture shown here is in no file.  Save it first?";
// Closes the viewer and answers the process's exit code (-1: it did not end).
inline long CloseViewer(HWND viewer, GlimpserProcess& process) {
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    return process.WaitForExit(kWait);
}
// The pixels, of the given size, are exactly the pattern's pixels of the screen region.
inline void ExpectPattern(const std::vector<uint32_t>& pixels, SIZE size, const RECT& region) {
    EXPECT_EQ(size.cx, region.right - region.left);
    EXPECT_EQ(size.cy, region.bottom - region.top);
    const std::vector<uint32_t> expected = ExpectedPattern(region);
    EXPECT_EQ(std::ranges::mismatch(pixels, expected).in1 - pixels.begin(),
              static_cast<ptrdiff_t>(expected.size()))
        << "the index of the first pixel that differs from the pattern";
}
// What the user does: Escape, or a drag over the region, on the overlay; Previous four times
// in the viewer; or in the viewer, the real Save As dialog cancelled (the program starts COM
// only for it; in-process tests answer it themselves), then a capture of the same region, whose
// overlay loop nests inside the viewer's and whose file the viewer then shows.
enum class Gesture { None, Escape, Drag, WalkBack, SaveAsThenCaptureAgain };

// One start of the program, over the screen pattern, and what it must leave.
struct ProgramRun {
    std::string name;
    const wchar_t* arguments;
    Gesture gesture;
    bool viewer;         // else the process ends with 0 and never shows one
    std::wstring files;  // the files named like history files afterwards, "|" between
    const RECT* shown;   // what the viewer and the newest file show; nullptr: unchecked
    const wchar_t* regionAfter = nullptr;  // "CaptureRegion" afterwards; nullptr: unchecked
    std::wstring message = L"";    // what the one message (answered No) holds; "": none comes
    std::wstring folder = L"";     // where the files are looked for; "": the history folder
    std::wstring untouched = L"";  // a file that must keep its one byte
};

// Starts the program, or takes over one started elsewhere once it shows its overlay.
inline void RunProgram(const ProgramRun& run, GlimpserProcess* started = nullptr) {
    SCOPED_TRACE(run.name);
    std::optional<PatternWindow> pattern;
    if (!started)
        pattern.emplace();
    const std::wstring folder = run.folder.empty() ? HistoryFolder() : run.folder;
    const std::wstring historyFiles = folder + L"\\*Glimpser*";
    MoveMouseTo(900, 700);
    std::optional<GlimpserProcess> own;
    GlimpserProcess& glimpser = started ? *started : own.emplace(run.arguments);
    if (run.gesture == Gesture::Escape || run.gesture == Gesture::Drag) {
        ASSERT_NE(WaitForOverlay(glimpser), nullptr);
    }
    if (run.gesture == Gesture::Escape)
        PressKey(VK_ESCAPE);
    if (run.gesture == Gesture::Drag) {
        // The press point and the last point moved to are both inside the region.
        Drag(run.shown->left, run.shown->top, run.shown->right - 1, run.shown->bottom - 1);
    }
    if (run.viewer) {
        const HWND viewer = WaitForViewer(glimpser);
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(FindProcessWindow(glimpser.Id(), L"", true), nullptr);
        for (int i = 0; run.gesture == Gesture::WalkBack && i < 4; ++i)
            SendMessageTimeoutW(viewer, WM_COMMAND, ID_PREVIOUS, 0, SMTO_BLOCK, kWait, nullptr);
        if (run.gesture == Gesture::SaveAsThenCaptureAgain) {
            PostMessageW(viewer, WM_COMMAND, ID_SAVE_AS, 0);
            const HWND dialog = WaitForProcessWindow(glimpser.Id(), L"Save", false, kWait);
            ASSERT_NE(dialog, nullptr);
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, kWait));
            PostMessageW(viewer, WM_COMMAND, ID_CAPTURE_SAME, 0);
            WaitFor(
                [&] { return FilesMatching(historyFiles) == run.files && IsWindowVisible(viewer); },
                kWait);
        }
        const std::wstring message =
            AnswerMessage(glimpser, IDNO, run.message.empty() ? 1000 : kWait);
        EXPECT_EQ(message.empty(), run.message.empty()) << message;
        EXPECT_NE(message.find(run.message), std::wstring::npos);
        EXPECT_EQ(message.find(L"format"), std::wstring::npos);
        if (!message.empty()) {
            EXPECT_TRUE(message.ends_with(L"Save it elsewhere?")) << message;
            // The capture is in no file now: closing asks first, and Cancel keeps the viewer
            // with the capture, as the pixels below show.
            PostMessageW(viewer, WM_CLOSE, 0, 0);
            EXPECT_EQ(AnswerMessage(glimpser, IDCANCEL), kUnsavedQuestion);
            EXPECT_TRUE(IsWindowVisible(viewer));
        }
        if (run.shown) {
            EXPECT_EQ(WindowTitle(viewer), L"Glimpser (100%)");
            pattern.reset();
            RedrawWindow(viewer, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            PumpMessagesFor(500);
            RECT client{};
            GetClientRect(viewer, &client);
            ExpectPattern(ReadWindowPixels(viewer), {client.right, client.bottom}, *run.shown);
        }
        PostMessageW(viewer, WM_CLOSE, 0, 0);
        if (!message.empty()) {
            EXPECT_EQ(AnswerMessage(glimpser, IDNO), kUnsavedQuestion);
        }
        EXPECT_EQ(glimpser.WaitForExit(kWait), 0);
        EXPECT_EQ(ReadSetting(L"SmoothStretch"), L"dword:2");
        EXPECT_EQ(ReadSetting(L"LastSaveType"), L"dword:0");
    } else {
        WaitFor(
            [&] {
                EXPECT_EQ(FindProcessWindow(glimpser.Id(), L"Glimpser (", false), nullptr);
                return !glimpser.Running();
            },
            kWait);
        EXPECT_EQ(glimpser.WaitForExit(0), 0);
    }
    const std::wstring files = FilesMatching(historyFiles);
    EXPECT_EQ(files, run.files);
    if (run.shown && !files.empty()) {
        Image newest;
        ASSERT_TRUE(ReadImage(folder + L"\\" + files.substr(files.rfind(L'|') + 1), newest));
        // pHYs holds whole pixels per metre: 96 dpi is stored as 3780, read back as 96.012.
        EXPECT_NEAR(newest.dpiX, GetDeviceCaps(ScopedWindowDC(nullptr).Get(), LOGPIXELSX), 0.05);
        ExpectPattern(newest.pixels, {newest.width, newest.height}, *run.shown);
    }
    if (run.regionAfter) {
        EXPECT_EQ(ReadSetting(L"CaptureRegion"), run.regionAfter);
    }
    if (!run.untouched.empty()) {
        EXPECT_EQ(ReadFileBytes(run.untouched).size(), 1u);
    }
}
