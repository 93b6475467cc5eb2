#include "capture/captured_cursor.h"

#include <gtest/gtest.h>

#include <vector>

#include "capture/capture_session.h"
#include "capture/drag_feedback.h"
#include "support/screen_pattern.h"
#include "support/bitmap_pixels.h"
#include "support/input.h"
#include "win/scoped_win.h"

namespace {

// The pointer rests at client (7, 7) of a window of this thread, which is in the foreground:
// the cursor this thread sets is the one on the screen.
class CapturedCursorTest : public testing::Test {
protected:
    void SetUp() override {
        MoveMouseTo(200, 200);
        PumpMessagesFor(150);
    }
    CPatternWindow pattern{RECT{193, 193, 209, 209}};
};

// At 96 DPI the system draws pointers 32 pixels wide; a preference of 48 makes that 48, one and
// a half times the arrow's 32-pixel image.
TEST_F(CapturedCursorTest, StandardCursorIsSharedAndFollowsThePreferredSize) {
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(arrow, &info));
    ScopedBitmap color(info.hbmColor), mask(info.hbmMask);
    const SIZE image = BitmapSize(color.Get() ? color.Get() : mask.Get());
    ASSERT_EQ(image.cx, 32);
    const DWORD preference = 48;
    const wchar_t* const key = L"Control Panel\\Cursors";
    RegSetKeyValueW(HKEY_CURRENT_USER, key, L"CursorBaseSize", REG_DWORD, &preference, 4);
    CapturedCursor cursor;
    ASSERT_TRUE(CaptureCursor(cursor));
    RegDeleteKeyValueW(HKEY_CURRENT_USER, key, L"CursorBaseSize");
    EXPECT_EQ(cursor.handle, arrow);
    EXPECT_FALSE(cursor.owned);
    EXPECT_EQ((std::vector<int>{cursor.width, cursor.height, cursor.hotX, cursor.hotY}),
              (std::vector<int>{48, MulDiv(color.Get() ? image.cy : image.cy / 2, 3, 2),
                                MulDiv(static_cast<int>(info.xHotspot), 3, 2),
                                MulDiv(static_cast<int>(info.yHotspot), 3, 2)}));
    // The shared cursor outlives the record.
    ReleaseCapturedCursor(cursor);
    EXPECT_EQ(cursor.handle, nullptr);
    EXPECT_TRUE(DrawIconEx(ScopedMemDC(nullptr).Get(), 0, 0, arrow, 0, 0, 0, nullptr, DI_NORMAL));
}

TEST_F(CapturedCursorTest, HiddenOrMissingPointerLeavesNoHandle) {
    CapturedCursor cursor;
    ShowCursor(FALSE);
    EXPECT_FALSE(CaptureCursor(cursor));
    ShowCursor(TRUE);
    SetCursor(nullptr);
    EXPECT_FALSE(CaptureCursor(cursor));
    EXPECT_EQ(cursor.handle, nullptr);
}

// Takes every GDI handle the process can still get but `headroom`, so that a leak of one
// handle a cycle shows as failures within a few thousand cycles. GetGuiResources answers 0
// under Wine, so running out is the only sign of a leak.
class GdiHandleBallast {
public:
    explicit GdiHandleBallast(size_t headroom) {
        for (HBRUSH brush; (brush = CreateSolidBrush(RGB(1, 2, 3))) != nullptr;) {
            brushes.push_back(brush);
        }
        for (size_t i = 0; i < headroom && !brushes.empty(); ++i) {
            DeleteObject(brushes.back());
            brushes.pop_back();
        }
    }
    ~GdiHandleBallast() {
        for (HBRUSH brush : brushes) {
            DeleteObject(brush);
        }
    }
    size_t Count() const { return brushes.size(); }

private:
    std::vector<HBRUSH> brushes;
};

// A private cursor is copied, at its own size and hot spot.
TEST_F(CapturedCursorTest, CropFeedbackAndPointerKeepWorkingBeyondTheHandleLimit) {
    const std::vector<uint32_t> before = ReadWindowPixels(pattern.hwnd);
    // A solid 20 × 30 cursor with its hot spot at (7, 9), made in memory, so it is neither
    // standard nor loaded from a resource; its image is also what is cropped.
    ScopedBitmap color(MakeSolidBitmap(20, 30, RGB(255, 0, 0)));
    const std::vector<BYTE> opaque(4 * 30, 0);  // an all-zero AND mask
    ScopedBitmap mask(CreateBitmap(20, 30, 1, 1, opaque.data()));
    ICONINFO info{FALSE, 7, 9, mask.Get(), color.Get()};
    const HCURSOR own = CreateIconIndirect(&info);
    SetCursor(own);
    CDragFeedback feedback;
    constexpr int kHeadroom = 1000;
    const GdiHandleBallast ballast(kHeadroom);
    ASSERT_GT(ballast.Count(), 1000u);
    int failures = 0;
    for (int i = 0; i < 3 * kHeadroom; ++i) {
        ScopedBitmap cut(CropBitmap(color.Get(), RECT{i % 16, 4, i % 16 + 8, 12}));
        CapturedCursor cursor;
        failures += !cut.Get() || !CaptureCursor(cursor) || !cursor.owned || cursor.handle == own ||
                    cursor.width != 20 || cursor.height != 30 || cursor.hotX != 7 ||
                    cursor.hotY != 9;
        ReleaseCapturedCursor(cursor);
        feedback.Begin(pattern.hwnd);
        feedback.AddRect(Rect{2, 2, 14, 14});
        feedback.Update();
        failures +=
            CountWrongPixels(ReadWindowPixels(pattern.hwnd), before, 16, {{2, 2, 14, 14}}) != 0;
        feedback.End();
    }
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    DestroyCursor(own);
    EXPECT_EQ(failures, 0);
}

}  // namespace
