// Delete and Delete all History in the real viewer: what they remove goes to the Recycle Bin
// (Wine's Trash), and nothing but history files is touched.
#include "e2e/e2e_fixture.h"

namespace {

void WriteHistoryFile(int n) {
    PngImage image{16, 12, 8, 2, {}, {}};
    image.pixels.assign(16 * 12 * 3, 0x40);
    ASSERT_TRUE(WriteFileBytes(HistoryFolder() + L"\\Glimpser " + std::to_wstring(n) + L".png",
                               EncodePng(image)));
}

}  // namespace

// The question's default button, and which file shows after a delete, are run by the viewer's
// tests.
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
    // Del, with no question: the newest file goes to the Trash and its older neighbour shows.
    SetForegroundWindow(viewer);
    PumpMessagesFor(300);
    PressKey(VK_DELETE);
    EXPECT_TRUE(
        WaitFor([&] { return FilesMatching(files) == L"Glimpser 1.png|Glimpser 2.png"; }, kWait));
    EXPECT_TRUE(InTrash(L"Glimpser 3.png"));

    PostMessageW(viewer, WM_COMMAND, ID_DELETE_ALL_HISTORY, 0);
    EXPECT_EQ(AnswerMessage(glimpser, IDYES),
              L"Are you sure you want to delete all history files?");
    EXPECT_TRUE(WaitFor([&] { return FilesMatching(files).empty(); }, kWait));
    for (const wchar_t* name : {L"Glimpser 1.png", L"Glimpser 2.png"})
        EXPECT_TRUE(InTrash(name)) << name;
    EXPECT_EQ(ReadFileBytes(notes), std::vector<uint8_t>{'n'});
    EXPECT_EQ(ReadFileBytes(archived), std::vector<uint8_t>{'a'});
    EXPECT_EQ(CloseViewer(viewer, glimpser), 0);
}
