// What the viewer paints, read back from its client area.
#include "viewer/viewer_fixture.h"
#include "win/command_ids.h"

namespace {

uint32_t Unique(int x, int y) {
    return static_cast<uint32_t>(((x * 37) & 0xFF) << 16 | ((y * 53) & 0xFF) << 8 | 0x11);
}

// Counts the client pixels that differ from the Unique image zoomed by the whole factor
// scale and drawn from client point (originX, originY), with the workspace colour around it.
int CountWrongPixels(HWND window, int imageWidth, int imageHeight, int scale, int originX,
                     int originY) {
    std::vector<uint32_t> shown = ReadClient(window);
    RECT client{};
    GetClientRect(window, &client);
    COLORREF workspace = GetSysColor(COLOR_APPWORKSPACE);
    uint32_t around = GetRValue(workspace) << 16 | GetGValue(workspace) << 8 | GetBValue(workspace);
    int wrong = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        int x = static_cast<int>(i % client.right) - originX;
        int y = static_cast<int>(i / client.right) - originY;
        bool inside = x >= 0 && y >= 0 && x < imageWidth * scale && y < imageHeight * scale;
        wrong += shown[i] != (inside ? Unique(x / scale, y / scale) : around);
    }
    return wrong;
}

}  // namespace

TEST_F(ViewerTest, SharpTwoHundredPercentIsCentredInTwoByTwoBlocksAndSmoothDiffers) {
    OpenViewer(MakeBitmap(24, 16, Unique));
    viewer->SetZoom(4);  // 200%, Automatic draws it sharp
    RECT client = ClientRect();
    ASSERT_GE(client.right, 48);
    ASSERT_GE(client.bottom, 32);
    int originX = (client.right - 48) / 2, originY = (client.bottom - 32) / 2;
    EXPECT_EQ(CountWrongPixels(Window(), 24, 16, 2, originX, originY), 0);
    // Smoothing blends neighbours inside the blocks.
    Command(ID_SMOOTH_ENABLED);
    EXPECT_GT(CountWrongPixels(Window(), 24, 16, 2, originX, originY), 24 * 16);
}

// Each paint draws only the update rectangle: scrolled-in and invalidated strips, painted on
// their own, must join into the same picture as one whole paint.
TEST_F(ViewerTest, StripsPaintedOnTheirOwnMatchTheWholePaint) {
    for (WORD mode : {ID_SMOOTH_DISABLED, ID_SMOOTH_ENABLED}) {
        SCOPED_TRACE(mode);
        OpenViewer(MakeBitmap(300, 200, Unique));
        Command(mode);
        viewer->SetZoom(mode == ID_SMOOTH_ENABLED ? 5 : 4);  // 250% or 200%
        SetWindowPos(Window(), nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
        UpdateWindow(Window());
        SendMessageW(Window(), WM_HSCROLL, SB_LINERIGHT, 0);
        SendMessageW(Window(), WM_VSCROLL, SB_LINEDOWN, 0);
        RECT client = ClientRect();
        // One-pixel strips at every phase of the 2 and 2.5 ratios.
        for (int i = 0; i < 5; ++i) {
            RECT column{100 + i, 0, 101 + i, client.bottom}, row{0, 100 + i, client.right, 101 + i};
            InvalidateRect(Window(), &column, TRUE);
            UpdateWindow(Window());
            InvalidateRect(Window(), &row, TRUE);
            UpdateWindow(Window());
        }
        std::vector<uint32_t> pieced = ReadClient(Window());
        InvalidateRect(Window(), nullptr, TRUE);
        EXPECT_TRUE(pieced == ReadClient(Window()));
        if (mode == ID_SMOOTH_DISABLED) {
            int scrollX = GetScrollPos(Window(), SB_HORZ),
                scrollY = GetScrollPos(Window(), SB_VERT);
            ASSERT_GT(scrollX * scrollY, 0);
            EXPECT_EQ(CountWrongPixels(Window(), 300, 200, 2, -scrollX, -scrollY), 0);
        }
        CloseViewer();
    }
}
