#include "capture/captured_cursor.h"

#include <gtest/gtest.h>

#include <vector>

#include "capture/capture_session.h"
#include "capture/drag_feedback.h"
#include "support/bitmap_pixels.h"
#include "support/input.h"
#include "support/screen_pattern.h"
#include "win/scoped_win.h"

namespace {

// The pointer rests at client (7, 7) of a window of this thread, which is in the foreground:
// the cursor this thread sets is the one on the screen. The shared arrow at a preferred size is
// drawn by the delayed session test.
class CapturedCursorTest : public testing::Test {
protected:
    void SetUp() override {
        MoveMouseTo(200, 200);
        PumpMessagesFor(150);
    }
    CPatternWindow pattern{RECT{193, 193, 209, 209}};
};

TEST_F(CapturedCursorTest, HiddenOrMissingPointerLeavesNoHandle) {
    CapturedCursor cursor;
    ShowCursor(FALSE);
    EXPECT_FALSE(CaptureCursor(cursor));
    ShowCursor(TRUE);
    SetCursor(nullptr);
    EXPECT_FALSE(CaptureCursor(cursor));
    EXPECT_EQ(cursor.handle, nullptr);
}

// A private cursor is copied, at its own size and hot spot. Every GDI handle the process can
// still get but 1,000 is taken first, so that a leak of one handle a cycle shows as failures
// within 3,000 cycles: GetGuiResources answers 0 under Wine, so running out is the only sign.
TEST_F(CapturedCursorTest, CropFeedbackAndPointerKeepWorkingBeyondTheHandleLimit) {
    const std::vector<uint32_t> before = ReadWindowPixels(pattern.hwnd);
    // A solid 20 × 30 cursor with its hot spot at (7, 9), made in memory, so it is neither
    // standard nor loaded from a resource; its image is also what is cropped.
    ScopedBitmap color(MakeSolidBitmap(20, 30, RGB(255, 0, 0)));
    const std::vector<BYTE> opaque(4 * 30, 0);  // an all-zero AND mask
    ScopedBitmap mask(CreateBitmap(20, 30, 1, 1, opaque.data()));
    ICONINFO info{FALSE, 7, 9, mask.Get(), color.Get()};
    const ScopedIcon own(CreateIconIndirect(&info));
    CDragFeedback feedback;
    constexpr size_t kHeadroom = 1000;
    std::vector<ScopedGdiObject<HBRUSH>> ballast;
    for (HBRUSH brush; (brush = CreateSolidBrush(RGB(1, 2, 3))) != nullptr;) {
        ballast.emplace_back(brush);
    }
    ASSERT_GT(ballast.size(), 2 * kHeadroom);
    ballast.resize(ballast.size() - kHeadroom);
    SetCursor(own.Get());
    int failures = 0;
    for (size_t i = 0; i < 3 * kHeadroom; ++i) {
        const int x = static_cast<int>(i % 16);
        ScopedBitmap cut(CropBitmap(color.Get(), RECT{x, 4, x + 8, 12}));
        CapturedCursor cursor;
        failures += !cut.Get() || !CaptureCursor(cursor) || !cursor.owned ||
                    cursor.handle == own.Get() || cursor.width != 20 || cursor.height != 30 ||
                    cursor.hotX != 7 || cursor.hotY != 9;
        ReleaseCapturedCursor(cursor);
        feedback.Begin(pattern.hwnd);
        feedback.AddRect(Rect{2, 2, 14, 14});
        feedback.Update();
        failures +=
            CountWrongPixels(ReadWindowPixels(pattern.hwnd), before, 16, {{2, 2, 14, 14}}) != 0;
        feedback.End();
    }
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(failures, 0);
}

}  // namespace
