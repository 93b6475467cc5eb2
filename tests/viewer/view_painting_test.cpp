// What the viewer paints, read back from its client area.
#include "app/command_ids.h"
#include "viewer/viewer_fixture.h"

namespace {

uint32_t Unique(int x, int y) {
    return static_cast<uint32_t>(((x * 37) & 0xFF) << 16 | ((y * 53) & 0xFF) << 8 | 0x11);
}

uint32_t Checker(int x, int y) {
    return ((x + y) & 1) ? 0xFFFFFF : 0x000000;
}

// Counts the client pixels that differ from the image zoomed by whole factor `scale`,
// drawn from client point (originX, originY), with the workspace colour around it.
int CountWrongPixels(const Pixels& shown, int imageWidth, int imageHeight, int scale, int originX,
                     int originY, uint32_t (*pixel)(int, int)) {
    uint32_t workspace = ToPixel(GetSysColor(COLOR_APPWORKSPACE));
    int wrong = 0;
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) {
            int imageX = x - originX;
            int imageY = y - originY;
            bool inside = imageX >= 0 && imageY >= 0 && imageX < imageWidth * scale &&
                          imageY < imageHeight * scale;
            uint32_t expected = inside ? pixel(imageX / scale, imageY / scale) : workspace;
            if (shown.At(x, y) != expected) {
                ++wrong;
            }
        }
    }
    return wrong;
}

}  // namespace

TEST_F(ViewerTest, SharpTwoHundredPercentIsCentredInTwoByTwoBlocks) {
    OpenViewer(MakeBitmap(24, 16, Unique));
    viewer->SetZoom(4);  // 200%, Automatic draws it sharp
    Pixels shown = ReadClient(Window());
    ASSERT_GE(shown.width, 48);
    ASSERT_GE(shown.height, 32);
    int originX = (shown.width - 48) / 2;
    int originY = (shown.height - 32) / 2;
    EXPECT_EQ(CountWrongPixels(shown, 24, 16, 2, originX, originY, Unique), 0);
}

TEST_F(ViewerTest, ScrolledHighZoomShowsTheRightPartAfterEveryScroll) {
    OpenViewer(MakeBitmap(200, 150, Unique));
    viewer->SetZoom(11);  // 1000%: 2000 by 1500, maximized with scroll bars
    SendMessageW(Window(), WM_HSCROLL, SB_PAGERIGHT, 0);
    for (int i = 0; i < 3; ++i) {
        SendMessageW(Window(), WM_VSCROLL, SB_LINEDOWN, 0);
    }
    SendMessageW(Window(), WM_HSCROLL, SB_LINELEFT, 0);
    int scrollX = GetScrollPos(Window(), SB_HORZ);
    int scrollY = GetScrollPos(Window(), SB_VERT);
    ASSERT_GT(scrollX, 0);
    ASSERT_GT(scrollY, 0);
    Pixels shown = ReadClient(Window());
    EXPECT_EQ(CountWrongPixels(shown, 200, 150, 10, -scrollX, -scrollY, Unique), 0);
}

TEST_F(ViewerTest, SmoothModeBlendsWhereSharpModeKeepsThePixels) {
    OpenViewer(MakeBitmap(30, 20, Checker));
    viewer->SetZoom(3);  // 150%: Automatic smooths here
    auto countBlended = [this]() {
        Pixels shown = ReadClient(Window());
        int originX = (shown.width - 45) / 2;
        int originY = (shown.height - 30) / 2;
        int blended = 0;
        for (int y = 2; y < 28; ++y) {
            for (int x = 2; x < 43; ++x) {
                uint32_t value = shown.At(originX + x, originY + y);
                if (value != 0 && value != 0xFFFFFF) {
                    ++blended;
                }
            }
        }
        return blended;
    };
    EXPECT_GT(countBlended(), 0);
    Command(ID_SMOOTH_DISABLED);
    EXPECT_EQ(countBlended(), 0);
    Command(ID_SMOOTH_ENABLED);
    EXPECT_GT(countBlended(), 0);
}

TEST_F(ViewerTest, SmoothPaintOfAStripMatchesTheWholePaint) {
    OpenViewer(MakeBitmap(300, 200, Unique));
    viewer->SetZoom(5);  // 250%: 750 by 500, smooth
    SetWindowPos(Window(), nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageW(Window(), WM_HSCROLL, SB_LINERIGHT, 0);
    InvalidateRect(Window(), nullptr, TRUE);
    Pixels whole = ReadClient(Window());
    // Repaint a few thin strips on their own: each must join its neighbours seamlessly.
    for (int x : {37, 38, 161, 300}) {
        RECT strip{x, 0, x + 3, whole.height};
        InvalidateRect(Window(), &strip, TRUE);
        UpdateWindow(Window());
    }
    RECT band{0, 101, whole.width, 104};
    InvalidateRect(Window(), &band, TRUE);
    Pixels pieced = ReadClient(Window());
    ASSERT_EQ(pieced.values.size(), whole.values.size());
    int different = 0;
    for (size_t i = 0; i < whole.values.size(); ++i) {
        if (whole.values[i] != pieced.values[i]) {
            ++different;
        }
    }
    EXPECT_EQ(different, 0);
}
