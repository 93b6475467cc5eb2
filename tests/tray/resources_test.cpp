#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/bitmap_pixels.h"
#include "win/command_ids.h"
#include "win/scoped_win.h"

namespace {

// One menu item as Windows reads it from the compiled resource: a separator (id 0, no text),
// a submenu (id 0, its items follow one level deeper) or a command.
struct Row {
    UINT id;
    std::wstring text;
    int depth = 1;
    bool operator==(const Row&) const = default;
};

void ReadMenu(HMENU menu, int depth, std::vector<Row>& rows) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = L"";
        GetMenuStringW(menu, i, text, ARRAYSIZE(text), MF_BYPOSITION);
        const HMENU submenu = GetSubMenu(menu, i);
        rows.push_back({submenu ? 0 : GetMenuItemID(menu, i), text, depth});
        if (submenu)
            ReadMenu(submenu, depth + 1, rows);
    }
}

TEST(Resources, MenuHoldsTheContextAndTrayPopups) {
    ScopedMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU)));
    ASSERT_TRUE(menu);
    const Row separator{0, L""};
    // Both popups share the capture commands, in the same order.
    const std::vector<Row> captures = {
        {ID_CAPTURE_REGION_DELAY5, L"Capture Region (Delayed 5 Seconds)"},
        {ID_CAPTURE_REGION_DELAY15, L"Capture Region (Delayed 15 Seconds)"},
        separator,
        {ID_CAPTURE_SAME, L"Capture Same &Region Again"},
        {ID_CAPTURE_SAME_DELAY5, L"Capture Same Region Again (Delayed 5 Seconds)"},
        {ID_CAPTURE_SAME_DELAY15, L"Capture Same Region Again (Delayed 15 Seconds)"},
        separator,
        {ID_INCLUDE_CURSOR, L"Include Cursor in Delayed Captures"},
        separator};
    std::vector<Row> expected = {{0, L"Context", 0},
                                 {ID_COPY, L"&Copy\tCtrl+C"},
                                 {ID_COPY_96DPI, L"Copy at &96dpi\tCtrl+Shift+C"},
                                 {ID_COPY_PATH, L"Copy &Path"},
                                 {ID_DELETE, L"&Delete\tDel"},
                                 {ID_SAVE_AS, L"&Save As...\tCtrl+S"},
                                 separator,
                                 {0, L"Open &With"},
                                 {ID_OPEN_WITH_FIRST, L"<placeholder>", 2},
                                 separator,
                                 {ID_CAPTURE_REGION, L"C&apture Region\tDouble Click"}};
    expected.insert(expected.end(), captures.begin(), captures.end());
    expected.insert(expected.end(), {{ID_PREVIOUS, L"Previous\tAlt+Left"},
                                     {ID_NEXT, L"&Next\tAlt+Right"},
                                     {ID_OPEN_HISTORY_FOLDER, L"Open &History Folder"},
                                     {ID_DELETE_ALL_HISTORY, L"D&elete all History..."},
                                     separator,
                                     {ID_ZOOM_IN, L"Zoom &In\t+"},
                                     {ID_ZOOM_OUT, L"Zoom &Out\t-"},
                                     {ID_ZOOM_100, L"Zoom &100%\t0"},
                                     separator,
                                     {0, L"S&mooth Stretch"},
                                     {ID_SMOOTH_DISABLED, L"&Disabled", 2},
                                     {ID_SMOOTH_ENABLED, L"&Enabled", 2},
                                     {ID_SMOOTH_AUTOMATIC, L"&Automatic", 2},
                                     {0, L"Tray", 0},
                                     {ID_CAPTURE_REGION, L"C&apture Region"}});
    expected.insert(expected.end(), captures.begin(), captures.end());
    expected.insert(expected.end(), {{ID_OPEN_LAST_CAPTURE, L"&Open Last Captured Image"},
                                     {ID_OPEN_HISTORY_FOLDER, L"Open &History Folder"},
                                     {ID_RUN_AT_STARTUP, L"Run at &Startup"},
                                     separator,
                                     {ID_EXIT, L"E&xit"}});
    std::vector<Row> actual;
    ReadMenu(menu.Get(), 0, actual);
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(actual[i] == expected[i]) << "row " << i << ": " << actual[i].text;
    }
}

TEST(Resources, AcceleratorsAreTheNineVirtualKeysInOrder) {
    const HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_ACCEL));
    ASSERT_NE(table, nullptr);
    ACCEL entries[16] = {};
    ASSERT_EQ(CopyAcceleratorTableW(table, entries, 16), 9);
    const BYTE plain = FVIRTKEY | FNOINVERT;
    const ACCEL expected[] = {
        {plain, VK_NUMPAD0, ID_ZOOM_100},
        {plain | FCONTROL, 'C', ID_COPY},
        {plain, VK_DELETE, ID_DELETE},
        {plain | FALT, VK_RIGHT, ID_NEXT},
        {plain | FALT, VK_LEFT, ID_PREVIOUS},
        {plain | FCONTROL, 'S', ID_SAVE_AS},
        {plain, VK_ADD, ID_ZOOM_IN},
        {plain, VK_SUBTRACT, ID_ZOOM_OUT},
        {plain | FCONTROL | FSHIFT, 'C', ID_COPY_96DPI},
    };
    for (int i = 0; i < 9; ++i) {  // 0x80 marks the last entry
        EXPECT_EQ(std::tuple(entries[i].fVirt & ~0x80, entries[i].key, entries[i].cmd),
                  std::tuple(int{expected[i].fVirt}, expected[i].key, expected[i].cmd))
            << i;
    }
}

TEST(Resources, IconHasAlphaImagesAtSixteenThirtyTwoAndFortyEight) {
    for (int size : {16, 32, 48}) {
        ScopedIcon icon(
            static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_GLIMPSER),
                                          IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
        ASSERT_TRUE(icon) << size;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon.Get(), &info));
        ScopedBitmap color(info.hbmColor);
        ScopedBitmap mask(info.hbmMask);
        EXPECT_EQ(BitmapSize(color.Get()).cx, size);
        // A round icon: transparent corners, an opaque centre.
        BITMAPINFO format = TopDown32BitInfo(size, size);
        std::vector<DWORD> pixels(size * size);
        ScopedWindowDC screen(nullptr);
        ASSERT_EQ(
            GetDIBits(screen.Get(), color.Get(), 0, size, pixels.data(), &format, DIB_RGB_COLORS),
            size);
        EXPECT_EQ(pixels[0] >> 24, 0u) << size;
        EXPECT_EQ(pixels[size * (size / 2) + size / 2] >> 24, 255u) << size;
    }
}

}  // namespace
