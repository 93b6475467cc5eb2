// Delete and Delete all History in the real viewer: what they remove goes to the Recycle Bin
// (Wine's Trash), and nothing but history files is touched.
#include "e2e/e2e_fixture.h"

namespace {

// History file n is a solid colour of its own, so the viewer's first pixel tells which it shows.
uint32_t FileColour(int n) {
    return static_cast<uint32_t>(n * 60) << 16 | 0x2040;
}
void WriteHistoryFile(int n) {
    PngImage image{160, 120, 8, 2, {}, {}};
    for (uint32_t i = 0; i < image.width * image.height; ++i)
        image.pixels.insert(image.pixels.end(), {static_cast<uint8_t>(n * 60), 0x20, 0x40});
    ASSERT_TRUE(WriteFileBytes(HistoryFolder() + L"\\Glimpser " + std::to_wstring(n) + L".png",
                               EncodePng(image)));
}
uint32_t ShownColour(HWND viewer) {
    RedrawWindow(viewer, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessagesFor(300);
    const std::vector<uint32_t> pixels = ReadWindowPixels(viewer);
    return pixels.empty() ? 0 : pixels[0] & 0xFFFFFF;
}

}  // namespace

TEST_F(EndToEnd, DeleteAndDeleteAllHistorySendOnlyHistoryFilesToTheRecycleBin) {
    const std::wstring history = HistoryFolder(), notes = history + L"\\notes.txt";
    const std::wstring archived = history + L"\\Old\\Glimpser 1.png";
    WriteSettingString(L"ArchiveFolder", L"Old");
    std::filesystem::create_directories(history + L"\\Old");
    ASSERT_TRUE(WriteFileBytes(archived, {'a'}));
    ASSERT_TRUE(WriteFileBytes(notes, {'n'}));
    for (int n = 1; n <= 3; ++n)
        WriteHistoryFile(n);
    const std::wstring files = history + L"\\*Glimpser*";

    GlimpserProcess glimpser(L"/open");
    const HWND viewer = WaitForViewer(glimpser);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(ShownColour(viewer), FileColour(3));
    // Del, with no question: the newest file goes to the Trash and its older neighbour shows.
    SetForegroundWindow(viewer);
    PumpMessagesFor(300);
    PressKey(VK_DELETE);
    WaitFor([&] { return FilesMatching(files) == L"Glimpser 1.png|Glimpser 2.png"; }, kWait);
    EXPECT_EQ(FilesMatching(files), L"Glimpser 1.png|Glimpser 2.png");
    EXPECT_TRUE(InTrash(L"Glimpser 3.png"));
    EXPECT_EQ(ShownColour(viewer), FileColour(2));

    // Enter on Delete all History's question is No; Yes sends only the history files away.
    PostMessageW(viewer, WM_COMMAND, ID_DELETE_ALL_HISTORY, 0);
    const HWND question =
        WaitFor([&] { return FindProcessWindow(glimpser.Id(), L"", false, L"#32770"); }, kWait);
    ASSERT_NE(question, nullptr);
    PumpMessagesFor(300);
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(question); }, kWait));
    PumpMessagesFor(500);
    EXPECT_EQ(FilesMatching(files), L"Glimpser 1.png|Glimpser 2.png");
    EXPECT_EQ(ShownColour(viewer), FileColour(2));
    PostMessageW(viewer, WM_COMMAND, ID_DELETE_ALL_HISTORY, 0);
    EXPECT_EQ(AnswerMessage(glimpser, IDYES),
              L"Are you sure you want to delete all history files?");
    WaitFor([&] { return FilesMatching(files).empty(); }, kWait);
    EXPECT_EQ(FilesMatching(files), L"");
    for (const wchar_t* name : {L"Glimpser 1.png", L"Glimpser 2.png"})
        EXPECT_TRUE(InTrash(name)) << name;
    EXPECT_EQ(ReadFileBytes(notes), std::vector<uint8_t>{'n'});
    EXPECT_EQ(ReadFileBytes(archived), std::vector<uint8_t>{'a'});
    EXPECT_EQ(CloseViewer(viewer, glimpser), 0);
}
