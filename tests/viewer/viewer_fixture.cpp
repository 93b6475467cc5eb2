#include "viewer/viewer_fixture.h"

#include "imaging/image_saving.h"
#include "support/bitmap_pixels.h"
#include "support/input.h"
#include "support/screen_pattern.h"
#include "tessel/format.h"
#include "win/scoped_win.h"
#include "win/settings.h"
#include "win/show_message.h"
#include "win/win_text.h"

HBITMAP MakeBitmap(int width, int height, uint32_t (*pixel)(int x, int y)) {
    std::vector<uint32_t> values(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < values.size(); ++i) {
        values[i] = pixel(static_cast<int>(i % width), static_cast<int>(i / width));
    }
    ScopedWindowDC screen(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen.Get(), width, height);
    BITMAPINFO info = TopDown32BitInfo(width, height);
    SetDIBits(screen.Get(), bitmap, 0, height, values.data(), &info, DIB_RGB_COLORS);
    return bitmap;
}

std::vector<uint32_t> ReadClient(HWND window) {
    UpdateWindow(window);
    return ReadWindowPixels(window);
}

bool FileExists(const Tessel::String& path) {
    return GetFileAttributesW(WStr(ToWide(path))) != INVALID_FILE_ATTRIBUTES;
}

void ViewerTest::SetUp() {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarrowby Software\\Glimpser");
    folder = ToUtf8(temp.Path().c_str());
    SetSettingString("Settings", "HistoryFolder", folder);
    SetMessageHookForTesting([](const Tessel::String& text, uint32_t) {
        ADD_FAILURE() << "unexpected message: " << text.CStr();
        return IDCANCEL;
    });
}

void ViewerTest::TearDown() {
    CloseViewer();
    SetMessageHookForTesting(nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarrowby Software\\Glimpser");
}

void ViewerTest::OpenViewer(HBITMAP bitmap) {
    viewer = std::make_unique<CMainWindow>();
    if (bitmap) {
        viewer->SetImage(bitmap);
    }
    viewer->Create(nullptr, RECT{0, 0, 0, 0}, L"Glimpser (100%)", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                   WS_EX_TOPMOST);
    PumpMessagesFor(50);
}

void ViewerTest::CloseViewer() {
    if (viewer && viewer->hwnd) {
        DestroyWindow(viewer->hwnd);
    }
    viewer.reset();
}

Tessel::String ViewerTest::Title() const {
    wchar_t text[64]{};
    GetWindowTextW(Window(), text, 64);
    return ToUtf8(text);
}

Tessel::String ViewerTest::HistoryPath(int number) const {
    return Tessel::Format("%s\\Glimpser %i.png", folder.CStr(), number);
}

void ViewerTest::WriteHistoryFile(int number) {
    ScopedBitmap bitmap(MakeSolidBitmap(11 * number, 10, RGB(number * 40, 0, 0)));
    EXPECT_TRUE(SaveImage(bitmap.Get(), HistoryPath(number), 96)) << number;
}
