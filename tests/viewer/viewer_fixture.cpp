#include "viewer/viewer_fixture.h"

#include <cstring>

#include "app/scoped_win.h"
#include "app/settings.h"
#include "app/win_text.h"
#include "history/image_saving.h"
#include "history/show_message.h"
#include "support/input.h"
#include "tessel/format.h"

namespace {

BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

int UnexpectedMessage(const Tessel::String& text, uint32_t) {
    ADD_FAILURE() << "unexpected message: " << text.CStr();
    return IDCANCEL;
}

int testCounter = 0;

}  // namespace

uint32_t ToPixel(COLORREF color) {
    return (static_cast<uint32_t>(GetRValue(color)) << 16) |
           (static_cast<uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
}

HBITMAP MakeBitmap(int width, int height, const PixelFunction& pixel) {
    BITMAPINFO info = TopDownInfo(width, height);
    void* bits = nullptr;
    ScopedBitmap dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* values = static_cast<uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            values[static_cast<size_t>(y) * width + x] = pixel(x, y);
        }
    }
    ScopedWindowDC screen(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen.Get(), width, height);
    ScopedMemDC from(screen.Get());
    ScopedMemDC to(screen.Get());
    ScopedSelect selectFrom(from.Get(), dib.Get());
    ScopedSelect selectTo(to.Get(), bitmap);
    BitBlt(to.Get(), 0, 0, width, height, from.Get(), 0, 0, SRCCOPY);
    return bitmap;
}

Pixels ReadBitmap(HBITMAP bitmap) {
    BITMAP header{};
    GetObjectW(bitmap, sizeof header, &header);
    Pixels pixels;
    pixels.width = header.bmWidth;
    pixels.height = header.bmHeight;
    pixels.values.resize(static_cast<size_t>(pixels.width) * pixels.height);
    BITMAPINFO info = TopDownInfo(pixels.width, pixels.height);
    ScopedWindowDC screen(nullptr);
    GetDIBits(screen.Get(), bitmap, 0, pixels.height, pixels.values.data(), &info, DIB_RGB_COLORS);
    for (uint32_t& value : pixels.values) {
        value &= 0xFFFFFF;
    }
    return pixels;
}

Pixels ReadClient(HWND window) {
    UpdateWindow(window);
    RECT client{};
    GetClientRect(window, &client);
    ScopedWindowDC dc(window);
    BITMAPINFO info = TopDownInfo(client.right, client.bottom);
    void* bits = nullptr;
    ScopedBitmap copy(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedMemDC memory(dc.Get());
    {
        ScopedSelect select(memory.Get(), copy.Get());
        BitBlt(memory.Get(), 0, 0, client.right, client.bottom, dc.Get(), 0, 0, SRCCOPY);
    }
    GdiFlush();
    Pixels pixels;
    pixels.width = client.right;
    pixels.height = client.bottom;
    pixels.values.resize(static_cast<size_t>(pixels.width) * pixels.height);
    std::memcpy(pixels.values.data(), bits, pixels.values.size() * sizeof(uint32_t));
    for (uint32_t& value : pixels.values) {
        value &= 0xFFFFFF;
    }
    return pixels;
}

void ViewerTest::SetUp() {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarrowby Software\\Glimpser");
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder = Tessel::Format("%sglimpser-viewer-%u-%i", ToUtf8(temp).CStr(),
                            static_cast<unsigned>(GetCurrentProcessId()), ++testCounter);
    CreateDirectoryW(WStr(ToWide(folder)), nullptr);
    SetSettingString("Settings", "HistoryFolder", folder);
    SetMessageHookForTesting(&UnexpectedMessage);
}

void ViewerTest::TearDown() {
    CloseViewer();
    SetMessageHookForTesting(nullptr);
    WIN32_FIND_DATAW found{};
    ScopedFind find(FindFirstFileW(WStr(ToWide(Tessel::Format("%s\\*", folder.CStr()))), &found));
    if (find) {
        do {
            Tessel::String name = ToUtf8(found.cFileName);
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                Tessel::String path = Tessel::Format("%s\\%s", folder.CStr(), name.CStr());
                SetFileAttributesW(WStr(ToWide(path)), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(WStr(ToWide(path)));
            }
        } while (FindNextFileW(find.Get(), &found));
    }
    RemoveDirectoryW(WStr(ToWide(folder)));
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tarrowby Software\\Glimpser");
}

CMainWindow& ViewerTest::OpenViewer(HBITMAP bitmap) {
    viewer = std::make_unique<CMainWindow>();
    if (bitmap) {
        viewer->SetImage(bitmap);
    }
    RECT zero{0, 0, 0, 0};
    viewer->Create(nullptr, zero, L"Glimpser (100%)", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                   WS_EX_TOPMOST);
    PumpMessagesFor(50);
    return *viewer;
}

void ViewerTest::CloseViewer() {
    if (!viewer) {
        return;
    }
    if (viewer->hwnd) {
        DestroyWindow(viewer->hwnd);
    }
    viewer.reset();
}

Tessel::String ViewerTest::Title() const {
    wchar_t text[64]{};
    GetWindowTextW(Window(), text, 64);
    return ToUtf8(text);
}

RECT ViewerTest::WindowRect() const {
    RECT r{};
    GetWindowRect(Window(), &r);
    return r;
}

RECT ViewerTest::ClientRect() const {
    RECT r{};
    GetClientRect(Window(), &r);
    return r;
}

Size ViewerTest::ShownImageSize() const {
    BITMAP header{};
    if (!viewer->Image() || !GetObjectW(viewer->Image(), sizeof header, &header)) {
        return Size{0, 0};
    }
    return Size{header.bmWidth, header.bmHeight};
}

Tessel::String ViewerTest::HistoryPath(int number) const {
    return Tessel::Format("%s\\Glimpser %i.png", folder.CStr(), number);
}

Tessel::String ViewerTest::WriteHistoryFile(int number, int width, int height) {
    Tessel::String path = HistoryPath(number);
    ScopedBitmap bitmap(MakeBitmap(width, height, [number](int x, int y) {
        return static_cast<uint32_t>((number * 40) << 16 | (x & 0xFF) << 8 | (y & 0xFF));
    }));
    EXPECT_TRUE(SaveImage(bitmap.Get(), path, 96)) << path.CStr();
    return path;
}

bool FileExists(const Tessel::String& path) {
    return GetFileAttributesW(WStr(ToWide(path))) != INVALID_FILE_ATTRIBUTES;
}
