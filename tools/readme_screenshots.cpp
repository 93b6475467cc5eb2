// Takes the README's pictures of the real program under Xvfb: the overlay while a region is
// drawn, the viewer, its context menu with "Open With" open, the tray menu, and one capture of
// text at 1200% without and with smoothing. Everything on screen is drawn here or by the
// program, at fixed places, so that a rerun gives the same pictures. Nothing is written unless
// every caption shows Wine's symbol glyphs rather than their letter codes.
// Usage: readme_screenshots <folder>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "e2e/e2e_support.h"
#include "imaging/bitmap_utils.h"
#include "imaging/gdiplus_lifetime.h"
#include "imaging/image_saving.h"
#include "support/input.h"
#include "win/command_ids.h"

namespace {
const DWORD kWait = 30000;
const UINT kTrayIconMessage = WM_APP + 1;
const int kZoom1200Steps = 11;  // Zoom In steps from 100% to 1200%
// Text the 1200% pair enlarges: "Qua", the start of the backdrop's title line.
const wchar_t kTextRegion[] = L"174,177,205,197";
const wchar_t kOpenWithTargets[][2][80] = {
    {L"iexplore.exe", L"\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" \"%1\""},
    {L"notepad.exe", L"\"C:\\windows\\system32\\notepad.exe\" \"%1\""},
};

// A made-up desktop to capture: a sky, two windows and a title.
LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    TRIVERTEX sky[2] = {{0, 0, 0x2000, 0x5000, 0x9000, 0},
                        {client.right, client.bottom, 0xA000, 0xD000, 0xF000, 0}};
    GRADIENT_RECT span{0, 1};
    GradientFill(dc, sky, 2, &span, 1, GRADIENT_FILL_RECT_V);
    struct Box {
        RECT rect;
        COLORREF colour;
        const wchar_t* text;
    } boxes[] = {
        {{client.right / 8, client.bottom / 5, client.right / 2, client.bottom * 3 / 5},
         RGB(250, 250, 245),
         L"Quarterly figures\n\nNorth  1,204\nSouth  987\nEast   1,530\nWest   1,118"},
        {{client.right * 9 / 16, client.bottom * 2 / 5, client.right * 7 / 8,
          client.bottom * 4 / 5},
         RGB(255, 236, 179),
         L"Remember:\nship the release notes"},
    };
    HFONT font = CreateFontW(-15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                             DEFAULT_PITCH, L"Tahoma");
    HGDIOBJ previousFont = SelectObject(dc, font);
    for (const Box& box : boxes) {
        HBRUSH brush = CreateSolidBrush(box.colour);
        FillRect(dc, &box.rect, brush);
        DeleteObject(brush);
        FrameRect(dc, &box.rect, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        RECT text = box.rect;
        InflateRect(&text, -16, -16);
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, box.text, -1, &text, DT_LEFT | DT_TOP);
    }
    SelectObject(dc, previousFont);
    DeleteObject(font);
    EndPaint(window, &paint);
    return 0;
}

HWND ShowBackdrop() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &BackdropProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"GlimpserReadmeBackdrop";
    RegisterClassW(&windowClass);
    HWND window =
        CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0,
                        0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                        nullptr, windowClass.hInstance, nullptr);
    PumpMessagesFor(500);
    return window;
}

// A picture taken from the screen, written only once every picture has been checked.
struct Picture {
    std::string name;
    HBITMAP bitmap;
    RECT area;
};

HBITMAP Grab(const RECT& area) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, area.right - area.left, area.bottom - area.top);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, area.right - area.left, area.bottom - area.top, screen, area.left,
           area.top, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// Top-down 0x00RRGGBB pixels of a bitmap.
std::vector<DWORD> PixelsOf(HBITMAP bitmap, int width, int height) {
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info = Make32BitDibInfo(width, -height);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels;
}

RECT Union(const RECT& a, const RECT& b) {
    RECT both;
    UnionRect(&both, &a, &b);
    return both;
}

// The screen rectangle of the window's minimise button, found by asking the window itself.
bool FindMinimiseButton(HWND window, RECT& button) {
    RECT frame;
    GetWindowRect(window, &frame);
    auto hit = [window](int x, int y) {
        return SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTMINBUTTON;
    };
    int row = frame.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    int right = frame.right - 1;
    while (right > frame.left && !hit(right, row))
        --right;
    int left = right;
    while (left > frame.left && hit(left - 1, row))
        --left;
    int column = (left + right) / 2;
    int top = row, bottom = row;
    while (top > frame.top && hit(column, top - 1))
        --top;
    while (bottom < frame.bottom - 1 && hit(column, bottom + 1))
        ++bottom;
    button = RECT{left, top, right + 1, bottom + 1};
    return hit(column, row);
}

// Wine draws caption buttons with the character codes of its Marlett symbol font. With the
// font present, the minimise button holds a bar near its bottom; without it, the letter '0'
// of a text font stands there, and every digit reaches far into the button's upper half.
// Inside the 3D edges, only dark ink counts.
bool MinimiseButtonShowsGlyph(HWND window, const Picture& picture, std::string& why) {
    RECT button;
    if (!FindMinimiseButton(window, button)) {
        why = "no minimise button found";
        return false;
    }
    int width = picture.area.right - picture.area.left;
    int height = picture.area.bottom - picture.area.top;
    std::vector<DWORD> pixels = PixelsOf(picture.bitmap, width, height);
    const int edge = 3;
    int middle = (button.top + button.bottom) / 2;
    int inkAbove = 0, inkBelow = 0;
    for (int y = button.top + edge; y < button.bottom - edge; ++y) {
        for (int x = button.left + edge; x < button.right - edge; ++x) {
            int px = x - picture.area.left, py = y - picture.area.top;
            if (px < 0 || py < 0 || px >= width || py >= height)
                continue;
            DWORD c = pixels[static_cast<size_t>(py) * width + px];
            int luminance = ((c >> 16 & 0xFF) * 3 + (c >> 8 & 0xFF) * 6 + (c & 0xFF)) / 10;
            if (luminance < 96)
                (y < middle ? inkAbove : inkBelow) += 1;
        }
    }
    if (inkBelow == 0 || inkAbove > 0) {
        char text[256];
        snprintf(text, sizeof text,
                 "the minimise button at (%ld,%ld)-(%ld,%ld) shows a letter (dark pixels: %d "
                 "above its middle, %d below); is Wine's Marlett font (fonts-wine) installed?",
                 button.left, button.top, button.right, button.bottom, inkAbove, inkBelow);
        why = text;
        return false;
    }
    return true;
}

// The pictures taken so far, and the first reason not to publish them.
struct Album {
    std::vector<Picture> pictures;
    std::string failure;

    // Takes the screen area; the viewers whose captions it shows are checked at once, while
    // they still stand where they were taken.
    void Take(const char* name, const RECT& area, std::initializer_list<HWND> captions = {}) {
        pictures.push_back({name, Grab(area), area});
        for (HWND window : captions) {
            std::string why;
            if (failure.empty() && !MinimiseButtonShowsGlyph(window, pictures.back(), why))
                failure = std::string(name) + ": " + why;
        }
    }
    ~Album() {
        for (const Picture& picture : pictures)
            DeleteObject(picture.bitmap);
    }
};

// Popup menus are top-level windows of the class "#32768".
struct MenuQuery {
    DWORD processId;
    int count;
    RECT area;
};

BOOL CALLBACK CollectMenu(HWND window, LPARAM context) {
    auto* query = reinterpret_cast<MenuQuery*>(context);
    wchar_t className[16] = L"";
    GetClassNameW(window, className, 16);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != query->processId || wcscmp(className, L"#32768") != 0 || !IsWindowVisible(window))
        return TRUE;
    RECT rect;
    GetWindowRect(window, &rect);
    query->area = query->count ? Union(query->area, rect) : rect;
    ++query->count;
    return TRUE;
}

// Waits until the process shows `count` menus, and answers the rectangle around them.
bool WaitForMenus(DWORD processId, int count, RECT& area) {
    MenuQuery query{processId, count, {}};
    auto done = [](void* context) {
        auto* q = static_cast<MenuQuery*>(context);
        MenuQuery found{q->processId, 0, {}};
        EnumWindows(&CollectMenu, reinterpret_cast<LPARAM>(&found));
        if (found.count < q->count)
            return false;
        q->area = found.area;
        return true;
    };
    bool shown = PumpMessagesUntil(done, &query, kWait);
    PumpMessagesFor(400);  // let the menus finish painting
    area = query.area;
    return shown;
}

// A harmless program or two registered for PNG, so that "Open With" lists something.
void RegisterOpenWith(bool add) {
    for (const auto& target : kOpenWithTargets) {
        std::wstring list = std::wstring(L".png\\OpenWithList\\") + target[0];
        std::wstring application = std::wstring(L"Applications\\") + target[0];
        if (add) {
            RegSetKeyValueW(HKEY_CLASSES_ROOT, list.c_str(), nullptr, REG_SZ, L"", sizeof(L""));
            RegSetKeyValueW(HKEY_CLASSES_ROOT, (application + L"\\shell\\open\\command").c_str(),
                            nullptr, REG_SZ, target[1],
                            static_cast<DWORD>((wcslen(target[1]) + 1) * sizeof(wchar_t)));
        } else {
            RegDeleteTreeW(HKEY_CLASSES_ROOT, list.c_str());
            RegDeleteKeyW(HKEY_CLASSES_ROOT, list.c_str());
            RegDeleteTreeW(HKEY_CLASSES_ROOT, application.c_str());
            RegDeleteKeyW(HKEY_CLASSES_ROOT, application.c_str());
        }
    }
    if (!add)
        RegDeleteKeyW(HKEY_CLASSES_ROOT, L".png\\OpenWithList");
}

void ParkPointer() {
    // Out of every menu's way, so that no item is hovered.
    MoveMouseTo(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
    PumpMessagesFor(200);
}

void CloseViewer(HWND viewer, GlimpserProcess& process) {
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    process.WaitForExit(10000);
}

// A viewer of the newest capture at 1200%, its smoothing set, its window at `left`, `top`.
HWND ZoomedViewer(GlimpserProcess& process, WORD smoothing, int left, int top) {
    HWND viewer = WaitForProcessWindow(process.Id(), L"Glimpser (", false, kWait);
    if (!viewer)
        return nullptr;
    for (int step = 0; step < kZoom1200Steps; ++step)
        SendMessageW(viewer, WM_COMMAND, ID_ZOOM_IN, 0);
    SendMessageW(viewer, WM_COMMAND, smoothing, 0);
    SetWindowPos(viewer, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return viewer;
}

// The overlay while a region is drawn, then the viewer showing it, then its context menu.
bool TakeCapturePictures(int width, int height, Album& album) {
    GlimpserProcess capture(L"/capture:region");
    if (!WaitForProcessWindow(capture.Id(), L"", true, kWait))
        return false;
    PumpMessagesFor(300);
    MoveMouseTo(width / 10, height / 7);
    PumpMessagesFor(100);
    MouseButton(true, true);
    PumpMessagesFor(100);
    MoveMouseTo(width * 11 / 20, height * 5 / 8);
    PumpMessagesFor(500);
    RECT screen{0, 0, width, height};
    album.Take("overlay.png", screen);
    MouseButton(true, false);

    HWND viewer = WaitForProcessWindow(capture.Id(), L"Glimpser (", false, kWait);
    if (!viewer)
        return false;
    SetWindowPos(viewer, nullptr, width / 6, height / 8, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ParkPointer();
    PumpMessagesFor(600);
    RECT window;
    GetWindowRect(viewer, &window);
    album.Take("viewer.png", window, {viewer});

    RegisterOpenWith(true);
    POINT at{32, 32};
    ClientToScreen(viewer, &at);
    PostMessageW(viewer, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(viewer), MAKELPARAM(at.x, at.y));
    RECT menus;
    bool shown = WaitForMenus(capture.Id(), 1, menus);
    if (shown) {
        PressKey('W');  // the mnemonic of "Open &With" opens its submenu
        shown = WaitForMenus(capture.Id(), 2, menus);
    }
    if (shown) {
        album.Take("context-menu.png", Union(window, menus), {viewer});
    }
    PressKey(VK_ESCAPE);
    PressKey(VK_ESCAPE);
    PumpMessagesFor(300);
    RegisterOpenWith(false);
    CloseViewer(viewer, capture);
    return shown;
}

// The same bit of text at 1200% in two viewers side by side: sharp, then smooth.
bool TakeZoomPicture(int height, Album& album) {
    WriteSettingString(L"CaptureRegion", kTextRegion);
    GlimpserProcess sharpProcess(L"/capture:same");
    if (!WaitForProcessWindow(sharpProcess.Id(), L"", true, kWait))
        return false;
    PumpMessagesFor(200);
    MoveMouseTo(20, 20);  // the first move over the overlay takes the same region
    HWND sharp = ZoomedViewer(sharpProcess, ID_SMOOTH_DISABLED, 24, height / 2);
    if (!sharp)
        return false;
    RECT left;
    GetWindowRect(sharp, &left);
    GlimpserProcess smoothProcess(L"/open");
    HWND smooth = ZoomedViewer(smoothProcess, ID_SMOOTH_ENABLED, left.right + 8, left.top);
    if (!smooth)
        return false;
    ParkPointer();
    PumpMessagesFor(600);
    RECT right;
    GetWindowRect(smooth, &right);
    album.Take("zoom-1200.png", Union(left, right), {sharp, smooth});
    CloseViewer(smooth, smoothProcess);
    CloseViewer(sharp, sharpProcess);
    return true;
}

// The tray menu as a right click on the icon opens it: no region stored yet, so the
// same-region items are grey; both options checked.
bool TakeTrayPicture(Album& album) {
    ResetUserState();
    GlimpserProcess tray(L"/tray");
    HWND window = nullptr;
    auto found = [](void* context) {
        *static_cast<HWND*>(context) = FindWindowW(nullptr, L"Glimpser Tray");
        return *static_cast<HWND*>(context) != nullptr;
    };
    if (!PumpMessagesUntil(found, &window, kWait))
        return false;
    SendMessageW(window, WM_COMMAND, ID_RUN_AT_STARTUP, 0);
    ParkPointer();
    PostMessageW(window, kTrayIconMessage, MAKEWPARAM(900, 160), MAKELPARAM(WM_CONTEXTMENU, 1));
    RECT menu;
    bool shown = WaitForMenus(tray.Id(), 1, menu);
    if (shown)
        album.Take("tray-menu.png", menu);
    PressKey(VK_ESCAPE);
    PumpMessagesFor(300);
    PostMessageW(window, WM_COMMAND, ID_EXIT, 0);
    tray.WaitForExit(10000);
    return shown;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: readme_screenshots <folder>\n");
        return 2;
    }
    SetProcessDPIAware();
    GdiplusLifetime gdiplus;
    std::string folder = argv[1];
    ResetUserState();
    HWND backdrop = ShowBackdrop();
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);

    Album album;
    bool ok = TakeCapturePictures(width, height, album) && TakeZoomPicture(height, album) &&
              TakeTrayPicture(album);
    if (!ok)
        fprintf(stderr, "readme_screenshots: a window or menu did not appear\n");
    DestroyWindow(backdrop);
    ResetUserState();
    if (!album.failure.empty()) {
        fprintf(stderr, "readme_screenshots: %s\n", album.failure.c_str());
        return 1;
    }
    for (const Picture& picture : album.pictures) {
        if (ok && !SaveImage(picture.bitmap, Tessel::String((folder + "\\" + picture.name).c_str()),
                             96)) {
            fprintf(stderr, "readme_screenshots: cannot write %s\n", picture.name.c_str());
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
