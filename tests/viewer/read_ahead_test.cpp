// Reading ahead through a real history folder: what a step shows when the file read ahead
// was kept, rewritten or deleted meanwhile, and a close while a read is under way.
#include "viewer/viewer_fixture.h"

TEST_F(ViewerTest, StepsShowTheFileAsItIsNowWhateverWasReadAhead) {
    for (int number = 1; number <= 5; ++number)
        WriteHistoryFile(number);
    OpenViewer();  // shows 5 and reads 4 ahead
    struct Step {
        int rewritten;  // rewritten in green, same length, after it was read ahead; 0 for none
        int deleted;    // deleted after it was read ahead; 0 for none
        WORD command;
        int shown;
        uint32_t color;
    } steps[] = {
        {0, 0, ID_PREVIOUS, 4, 0xA00000},
        {3, 0, ID_PREVIOUS, 3, 0x00C800},
        {0, 2, ID_PREVIOUS, 1, 0x280000},
        // Back the other way: the image the last step left, then beyond it.
        {0, 0, ID_NEXT, 3, 0x00C800},
        {0, 0, ID_NEXT, 4, 0xA00000},
        {0, 0, ID_NEXT, 5, 0xC80000},
        {0, 0, ID_PREVIOUS, 4, 0xA00000},
    };
    for (const Step& step : steps) {
        PumpMessagesFor(300);  // for the read of a small file to be handed back
        if (step.rewritten) {
            ScopedBitmap green(MakeSolidBitmap(11 * step.rewritten, 10, RGB(0, 200, 0)));
            EXPECT_TRUE(
                SaveImage(green.Get(), HistoryPath(step.rewritten), 96, ExistingFile::Replace));
        }
        if (step.deleted) {
            EXPECT_TRUE(DeleteFileW(WStr(ToWide(HistoryPath(step.deleted)))));
        }
        Command(step.command);
        EXPECT_STREQ(viewer->CurrentPath().CStr(), HistoryPath(step.shown).CStr());
        const std::vector<uint32_t> pixels = BitmapPixels(viewer->Image());
        ASSERT_EQ(pixels.size(), 110u * step.shown) << step.shown;
        EXPECT_EQ(pixels[0], step.color) << step.shown;
    }
    // Closed while 3 is taken and 1 is being read: the reader lets every file go.
    Command(ID_PREVIOUS);
    CloseViewer();
    EXPECT_TRUE(DeleteFileW(WStr(ToWide(HistoryPath(1)))));
}
