#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/scoped_win.h"

namespace {

// One menu item as Windows reads it from the compiled resource: a separator, a submenu
// (id 0, with its items) or a command.
struct Item {
    UINT id;
    std::wstring text;  // empty for a separator
    std::vector<Item> items;
};

bool operator==(const Item& a, const Item& b) {
    return a.id == b.id && a.text == b.text && a.items == b.items;
}

std::vector<Item> ReadMenu(HMENU menu) {
    std::vector<Item> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = L"";
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = ARRAYSIZE(text);
        EXPECT_TRUE(GetMenuItemInfoW(menu, i, TRUE, &info));
        Item item{info.hSubMenu ? 0 : info.wID, text, {}};
        if (info.hSubMenu)
            item.items = ReadMenu(info.hSubMenu);
        items.push_back(item);
    }
    return items;
}

const Item kSeparator{0, L"", {}};

TEST(Resources, MenuHoldsTheContextAndTrayPopups) {
    ScopedMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU)));
    ASSERT_TRUE(menu);
    // Both popups share the capture commands, in the same order.
    const std::vector<Item> captures = {
        {ID_CAPTURE_REGION_DELAY5, L"Capture Region (Delayed 5 Seconds)", {}},
        {ID_CAPTURE_REGION_DELAY15, L"Capture Region (Delayed 15 Seconds)", {}},
        kSeparator,
        {ID_CAPTURE_SAME, L"Capture Same &Region Again", {}},
        {ID_CAPTURE_SAME_DELAY5, L"Capture Same Region Again (Delayed 5 Seconds)", {}},
        {ID_CAPTURE_SAME_DELAY15, L"Capture Same Region Again (Delayed 15 Seconds)", {}},
        kSeparator,
        {ID_INCLUDE_CURSOR, L"Include Cursor in Delayed Captures", {}},
        kSeparator,
    };
    std::vector<Item> context = {
        {ID_COPY, L"&Copy\tCtrl+C", {}},
        {ID_COPY_96DPI, L"Copy at &96dpi\tCtrl+Shift+C", {}},
        {ID_COPY_PATH, L"Copy &Path", {}},
        {ID_DELETE, L"&Delete\tDel", {}},
        {ID_SAVE_AS, L"&Save As...\tCtrl+S", {}},
        kSeparator,
        {0, L"Open &With", {{ID_OPEN_WITH_FIRST, L"<placeholder>", {}}}},
        kSeparator,
        {ID_CAPTURE_REGION, L"C&apture Region\tDouble Click", {}},
    };
    context.insert(context.end(), captures.begin(), captures.end());
    context.insert(context.end(), {
                                      {ID_PREVIOUS, L"Previous\tAlt+Left", {}},
                                      {ID_NEXT, L"&Next\tAlt+Right", {}},
                                      {ID_OPEN_HISTORY_FOLDER, L"Open &History Folder", {}},
                                      {ID_DELETE_ALL_HISTORY, L"D&elete all History...", {}},
                                      kSeparator,
                                      {ID_ZOOM_IN, L"Zoom &In\t+", {}},
                                      {ID_ZOOM_OUT, L"Zoom &Out\t-", {}},
                                      {ID_ZOOM_100, L"Zoom &100%\t0", {}},
                                      kSeparator,
                                      {0,
                                       L"S&mooth Stretch",
                                       {{ID_SMOOTH_DISABLED, L"&Disabled", {}},
                                        {ID_SMOOTH_ENABLED, L"&Enabled", {}},
                                        {ID_SMOOTH_AUTOMATIC, L"&Automatic", {}}}},
                                  });
    std::vector<Item> tray = {{ID_CAPTURE_REGION, L"C&apture Region", {}}};
    tray.insert(tray.end(), captures.begin(), captures.end());
    tray.insert(tray.end(), {
                                {ID_OPEN_LAST_CAPTURE, L"&Open Last Captured Image", {}},
                                {ID_OPEN_HISTORY_FOLDER, L"Open &History Folder", {}},
                                {ID_RUN_AT_STARTUP, L"Run at &Startup", {}},
                                kSeparator,
                                {ID_EXIT, L"E&xit", {}},
                            });
    const std::vector<Item> expected = {{0, L"Context", context}, {0, L"Tray", tray}};
    const std::vector<Item> actual = ReadMenu(menu.Get());
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t popup = 0; popup < expected.size(); ++popup) {
        EXPECT_TRUE(actual[popup].text == expected[popup].text);
        ASSERT_EQ(actual[popup].items.size(), expected[popup].items.size()) << popup;
        for (size_t i = 0; i < expected[popup].items.size(); ++i) {
            EXPECT_TRUE(actual[popup].items[i] == expected[popup].items[i])
                << "popup " << popup << " position " << i;
        }
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
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(entries[i].fVirt & ~0x80, expected[i].fVirt) << i;  // 0x80 marks the last entry
        EXPECT_EQ(entries[i].key, expected[i].key) << i;
        EXPECT_EQ(entries[i].cmd, expected[i].cmd) << i;
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
        ScopedGdiObject<HBITMAP> color(info.hbmColor);
        ScopedGdiObject<HBITMAP> mask(info.hbmMask);
        BITMAP bitmap = {};
        ASSERT_TRUE(GetObjectW(color.Get(), sizeof(bitmap), &bitmap));
        EXPECT_EQ(bitmap.bmWidth, size);
        EXPECT_EQ(bitmap.bmHeight, size);
        EXPECT_EQ(bitmap.bmBitsPixel, 32);
        // A round icon: transparent corners, an opaque centre.
        BITMAPINFO format = {};
        format.bmiHeader.biSize = sizeof(format.bmiHeader);
        format.bmiHeader.biWidth = size;
        format.bmiHeader.biHeight = -size;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
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
