#include "capture/captured_cursor.h"

#include <gtest/gtest.h>

#include <vector>

#include "capture/cursor_size.h"
#include "capture/screen_pattern.h"
#include "support/input.h"

namespace {

constexpr const wchar_t* kCursorsKey = L"Control Panel\\Cursors";

// Sets "CursorBaseSize" for one test and removes it afterwards.
class CursorBaseSizeValue {
public:
    CursorBaseSizeValue() {
        RegCreateKeyExW(HKEY_CURRENT_USER, kCursorsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr);
    }
    ~CursorBaseSizeValue() {
        RegDeleteValueW(key, L"CursorBaseSize");
        RegCloseKey(key);
    }
    void SetDword(DWORD value) {
        RegSetValueExW(key, L"CursorBaseSize", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof(value));
    }
    void SetText(const wchar_t* text) {
        RegSetValueExW(key, L"CursorBaseSize", 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
    }
    void Remove() { RegDeleteValueW(key, L"CursorBaseSize"); }

private:
    HKEY key = nullptr;
};

// A solid 20 × 30 cursor of one colour with the hot spot at (7, 9), made in memory, so it is
// neither standard nor loaded from a resource.
HCURSOR MakePrivateCursor(COLORREF color) {
    HDC screen = GetDC(nullptr);
    HBITMAP colorBitmap = CreateCompatibleBitmap(screen, 20, 30);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, colorBitmap);
    HBRUSH brush = CreateSolidBrush(color);
    RECT all{0, 0, 20, 30};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::vector<BYTE> maskBits(4 * 30, 0);  // an all-zero AND mask: every pixel opaque
    HBITMAP mask = CreateBitmap(20, 30, 1, 1, maskBits.data());
    ICONINFO info{FALSE, 7, 9, mask, colorBitmap};
    HCURSOR cursor = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colorBitmap);
    return cursor;
}

TEST(CapturedCursorTest, MulDivRuleAnswersAsThePlatform) {
    // Not INT32_MIN: Wine's MulDiv cannot negate it as a divisor and answers 0 for
    // 1 × INT32_MAX ÷ INT32_MIN; no pointer size comes near it.
    const int values[] = {0, 1, -1, 2, -3, 7, 31, 32, 48, 255, 65536, -65536, INT32_MAX};
    for (int a : values) {
        for (int b : values) {
            for (int c : values) {
                ASSERT_EQ(MulDivRound(a, b, c), MulDiv(a, b, c)) << a << '*' << b << '/' << c;
            }
        }
    }
}

TEST(CapturedCursorTest, StandardCursorsAreRecognised) {
    const LPCWSTR standard[] = {IDC_ARROW,
                                IDC_IBEAM,
                                IDC_WAIT,
                                IDC_CROSS,
                                IDC_UPARROW,
                                IDC_SIZENWSE,
                                IDC_SIZENESW,
                                IDC_SIZEWE,
                                IDC_SIZENS,
                                IDC_SIZEALL,
                                IDC_NO,
                                IDC_HAND,
                                IDC_APPSTARTING,
                                IDC_HELP,
                                MAKEINTRESOURCEW(32671),
                                MAKEINTRESOURCEW(32672)};
    for (LPCWSTR id : standard) {
        const HCURSOR cursor = LoadCursorW(nullptr, id);
        if (cursor) {
            EXPECT_TRUE(IsStandardCursor(cursor)) << reinterpret_cast<uintptr_t>(id);
        }
    }
    HCURSOR own = MakePrivateCursor(RGB(255, 0, 0));
    ASSERT_NE(own, nullptr);
    EXPECT_FALSE(IsStandardCursor(own));
    EXPECT_FALSE(IsStandardCursor(nullptr));
    DestroyCursor(own);
}

TEST(CapturedCursorTest, BaseSizeIsReadAndHeldToTheSystemRange) {
    CursorBaseSizeValue value;
    value.Remove();
    EXPECT_EQ(GetCursorBaseSize(), 32);
    struct Case {
        DWORD stored;
        int32_t expected;
    };
    const Case cases[] = {{16, 32}, {32, 32}, {48, 48}, {256, 256}, {300, 32}};
    for (const Case& c : cases) {
        value.SetDword(c.stored);
        EXPECT_EQ(GetCursorBaseSize(), c.expected) << c.stored;
    }
    value.SetText(L"48");
    EXPECT_EQ(GetCursorBaseSize(), 32);
}

// The pointer shows the cursor of the foreground window's thread: the pattern window's.
class CapturedCursorScreenTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pattern.Open(RECT{100, 100, 400, 300}));
        PointerTo(POINT{200, 200});
        pattern.Activate();
        PumpMessagesFor(150);
    }
    CPatternWindow pattern;
};

// At 96 DPI the system draws pointers 32 pixels wide; a preference of 48 makes that 48, one and
// a half times the arrow's 32-pixel image.
TEST_F(CapturedCursorScreenTest, StandardCursorIsSharedAndFollowsThePreferredSize) {
    ASSERT_EQ(GetSystemMetricsForDpi(SM_CXCURSOR, GetCursorMonitorDpi()), 32);
    ICONINFO info{};
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    ASSERT_TRUE(GetIconInfo(arrow, &info));
    BITMAP image{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(image), &image);
    const int imageHeight = info.hbmColor ? image.bmHeight : image.bmHeight / 2;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    ASSERT_EQ(image.bmWidth, 32);

    CursorBaseSizeValue value;
    value.SetDword(48);
    CapturedCursor cursor;
    ASSERT_TRUE(CaptureCursor(cursor));
    EXPECT_EQ(cursor.handle, arrow);
    EXPECT_FALSE(cursor.owned);
    EXPECT_EQ(cursor.width, 48);
    EXPECT_EQ(cursor.height, MulDiv(imageHeight, 3, 2));
    EXPECT_EQ(cursor.hotX, MulDiv(static_cast<int>(info.xHotspot), 3, 2));
    EXPECT_EQ(cursor.hotY, MulDiv(static_cast<int>(info.yHotspot), 3, 2));
    // The shared cursor outlives the record.
    ReleaseCapturedCursor(cursor);
    EXPECT_EQ(cursor.handle, nullptr);
    ICONINFO still{};
    ASSERT_TRUE(GetIconInfo(arrow, &still));
    DeleteObject(still.hbmColor);
    DeleteObject(still.hbmMask);
}

TEST_F(CapturedCursorScreenTest, PrivateCursorIsCopiedAtItsOwnSizeAndDrawnAtItsHotSpot) {
    HCURSOR own = MakePrivateCursor(RGB(255, 0, 0));
    ASSERT_NE(own, nullptr);
    pattern.SetPointer(own);
    CapturedCursor cursor;
    ASSERT_TRUE(CaptureCursor(cursor));
    EXPECT_TRUE(cursor.owned);
    EXPECT_NE(cursor.handle, own);
    EXPECT_EQ(cursor.width, 20);
    EXPECT_EQ(cursor.height, 30);
    EXPECT_EQ(cursor.hotX, 7);
    EXPECT_EQ(cursor.hotY, 9);
    pattern.SetPointer(LoadCursorW(nullptr, IDC_ARROW));
    DestroyCursor(own);

    // The copy outlives the original and lands with its hot spot on the point.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 100, 100);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(memory, canvas);
    PatBlt(memory, 0, 0, 100, 100, WHITENESS);
    DrawCapturedCursor(cursor, memory, POINT{50, 60});
    SelectObject(memory, previous);
    DeleteDC(memory);
    const Pixels pixels = ReadBitmapPixels(canvas);
    DeleteObject(canvas);
    struct Probe {
        int x, y;
        uint32_t color;
    };
    const Probe probes[] = {{43, 51, 0xFF0000}, {62, 80, 0xFF0000}, {50, 60, 0xFF0000},
                            {42, 51, 0xFFFFFF}, {43, 50, 0xFFFFFF}, {63, 80, 0xFFFFFF},
                            {62, 81, 0xFFFFFF}};
    for (const Probe& p : probes) {
        EXPECT_EQ(pixels.At(p.x, p.y), p.color) << p.x << ',' << p.y;
    }
    ReleaseCapturedCursor(cursor);
    EXPECT_EQ(cursor.handle, nullptr);
    EXPECT_FALSE(cursor.owned);
    EXPECT_EQ(cursor.width, 20);
}

TEST_F(CapturedCursorScreenTest, HiddenOrMissingPointerLeavesNoHandle) {
    CapturedCursor cursor;
    pattern.ShowPointer(false);
    EXPECT_FALSE(CaptureCursor(cursor));
    EXPECT_EQ(cursor.handle, nullptr);
    pattern.ShowPointer(true);
    pattern.SetPointer(nullptr);
    EXPECT_FALSE(CaptureCursor(cursor));
    EXPECT_EQ(cursor.handle, nullptr);
    pattern.SetPointer(LoadCursorW(nullptr, IDC_ARROW));
}

// GetGuiResources answers 0 under Wine; a leaked bitmap or cursor copy shows instead as a
// failure once the process has used up its handles.
TEST_F(CapturedCursorScreenTest, RepeatingMoreOftenThanTheHandleLimitKeepsSucceeding) {
    HCURSOR own = MakePrivateCursor(RGB(0, 0, 255));
    pattern.SetPointer(own);
    int failures = 0;
    for (int i = 0; i < kMoreThanTheHandleLimit; ++i) {
        CapturedCursor cursor;
        failures += !CaptureCursor(cursor) || !cursor.owned;
        ReleaseCapturedCursor(cursor);
    }
    pattern.SetPointer(LoadCursorW(nullptr, IDC_ARROW));
    DestroyCursor(own);
    EXPECT_EQ(failures, 0);
}

}  // namespace
