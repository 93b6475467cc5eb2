#include "history/image_saving.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/win_text.h"
#include "history/show_message.h"
#include "support/bitmap_pixels.h"
#include "support/content_types.h"
#include "support/png_bytes.h"
#include "support/temp_folder.h"
#include "viewer/bitmap_utils.h"
#include "viewer/gdiplus_lifetime.h"

namespace {

struct Shown {
    std::string text;
    uint32_t flags;
};
std::vector<Shown> shownMessages;

int RecordMessage(const Tessel::String& text, uint32_t flags) {
    shownMessages.push_back({text.CStr(), flags});
    return IDOK;
}

// A 32-bit top-down DIB section with a different colour in every pixel.
HBITMAP MakePatternBitmap(int width, int height) {
    const BITMAPINFO info = TopDown32BitInfo(width, height);
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[y * width + x] = static_cast<uint32_t>((x * 7) << 16 | (y * 11) << 8 | (x ^ y));
        }
    }
    return bitmap;
}

Tessel::String Utf8(const std::wstring& path) {
    return ToUtf8(path.c_str());
}

class ImageSaving : public testing::Test {
protected:
    void SetUp() override {
        shownMessages.clear();
        previousHook = SetMessageHookForTesting(RecordMessage);
    }
    void TearDown() override {
        SetMessageHookForTesting(previousHook);
        DeleteObject(bitmap);
    }

    MessageHook previousHook = nullptr;
    TempFolder folder;
    // What Windows registers, in case another test took it away.
    ScopedContentTypes imageTypes{{{L".png", L"image/png"},
                                   {L".jpg", L"image/jpeg"},
                                   {L".jpeg", L"image/jpeg"},
                                   {L".bmp", L"image/bmp"},
                                   {L".gif", L"image/gif"},
                                   {L".tif", L"image/tiff"}}};
    HBITMAP bitmap = MakePatternBitmap(40, 30);
};

TEST_F(ImageSaving, ExtensionChoosesTheFormat) {
    struct Case {
        const wchar_t* name;
        std::vector<uint8_t> magic;
    };
    const Case cases[] = {
        {L"a.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}},
        {L"a.jpg", {0xFF, 0xD8, 0xFF}},
        {L"a.jpeg", {0xFF, 0xD8, 0xFF}},
        {L"a.bmp", {'B', 'M'}},
        {L"a.gif", {'G', 'I', 'F', '8'}},
        {L"a.tif", {'I', 'I', 42, 0}},
        {L"a.b.c.png", {0x89, 'P', 'N', 'G'}},
    };
    for (const Case& c : cases) {
        const std::wstring path = folder / c.name;
        SCOPED_TRACE(Utf8(path).CStr());
        EXPECT_TRUE(SaveImage(bitmap, Utf8(path), 0));
        const std::vector<uint8_t> file = ReadFileBytes(path);
        ASSERT_GE(file.size(), c.magic.size());
        EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + c.magic.size()), c.magic);
    }
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(ImageSaving, PngKeepsPixelsAndCarriesTheResolution) {
    for (const uint32_t dpi : {144u, 96u}) {
        SCOPED_TRACE(dpi);
        const std::wstring path = folder / (L"Glimpser " + std::to_wstring(dpi) + L".png");
        ASSERT_TRUE(SaveImage(bitmap, Utf8(path), dpi));

        std::vector<uint8_t> phys;
        ASSERT_TRUE(FindPngChunk(ReadFileBytes(path), "pHYs", phys));
        ASSERT_EQ(phys.size(), 9u);
        const auto perMetre = [&](int at) {
            return uint32_t{phys[at]} << 24 | uint32_t{phys[at + 1]} << 16 |
                   uint32_t{phys[at + 2]} << 8 | phys[at + 3];
        };
        EXPECT_EQ(phys[8], 1) << "unit: metre";
        EXPECT_EQ(std::lround(perMetre(0) * 0.0254), static_cast<long>(dpi));
        EXPECT_EQ(std::lround(perMetre(4) * 0.0254), static_cast<long>(dpi));

        const GdiplusLifetime gdiplus;
        const Tessel::OwnedPtr<GdiplusBitmap> decoded = LoadBitmapForGdiplus(Utf8(path));
        const HBITMAP back = BitmapFromGdiplus(decoded.Get());
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(BitmapPixels(back), BitmapPixels(bitmap));
        DeleteObject(back);
    }
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(ImageSaving, FailuresAreShownOnceAndReported) {
    const ScopedContentTypes testTypes({{L".glimpsercaps", L"IMAGE/PNG"},
                                        {L".glimpsertext", L"text/plain"},
                                        {L".glimpserlower", L"image/png"}});
    ASSERT_TRUE(CreateDirectoryW((folder / L"folder.d").c_str(), nullptr));
    const std::string unsupported = "Unsupported file format";
    const std::string failedToSave = "Failed to save file";
    struct Case {
        const wchar_t* name;
        bool nullBitmap;
        const std::string& message;
    };
    const Case cases[] = {
        {L"shot", false, unsupported},
        {L"folder.d\\shot", false, unsupported},
        {L"shot.glimpsercaps", false, unsupported},
        {L"shot.glimpsertext", false, unsupported},
        {L"shot.glimpserunknown", false, unsupported},
        {L"missing\\shot.png", false, failedToSave},
        {L"nothing.png", true, failedToSave},
    };
    for (const Case& c : cases) {
        const std::wstring path = folder / c.name;
        SCOPED_TRACE(Utf8(path).CStr());
        shownMessages.clear();
        EXPECT_FALSE(SaveImage(c.nullBitmap ? nullptr : bitmap, Utf8(path), 96));
        ASSERT_EQ(shownMessages.size(), 1u);
        EXPECT_EQ(shownMessages[0].text, c.message);
        EXPECT_EQ(shownMessages[0].flags, static_cast<uint32_t>(MB_ICONERROR));
        if (&c.message == &unsupported) {
            EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
        }
    }

    // The same lookup with the content type in lower case finds the PNG encoder.
    shownMessages.clear();
    const std::wstring lower = folder / L"shot.glimpserlower";
    EXPECT_TRUE(SaveImage(bitmap, Utf8(lower), 0));
    EXPECT_TRUE(shownMessages.empty());
    EXPECT_EQ(ReadFileBytes(lower).at(1), 'P');
}

const COMDLG_FILTERSPEC kSaveTypes[] = {
    {L"PNG Image", L"*.png"}, {L"JPEG Image", L"*.jpg;*.jpeg"}, {L"Bitmap", L"*.bmp"}};

struct DialogAnswer {
    bool confirm = false;
    int32_t chooseIndex = 0;
    const char* choosePath = "";
    // What the dialog was asked to show.
    std::string defaultExtension;
    uint32_t typeCount = 0;
    int32_t shownIndex = 0;
};
DialogAnswer answer;

bool AnswerDialog(const char* defaultExtension, const COMDLG_FILTERSPEC* types, uint32_t count,
                  int32_t& typeIndex, Tessel::String& path) {
    answer.defaultExtension = defaultExtension;
    answer.typeCount = count;
    answer.shownIndex = typeIndex;
    EXPECT_EQ(types, kSaveTypes);
    if (answer.confirm) {
        typeIndex = answer.chooseIndex;
        path = Tessel::String(answer.choosePath);
    }
    return answer.confirm;
}

TEST(ShowSaveDialog, HookAnswersForTheDialog) {
    const SaveDialogHook previous = SetSaveDialogHookForTesting(AnswerDialog);
    struct Case {
        int32_t typeIndex;
        bool confirm;
        int32_t shown;
        int32_t after;
        const char* path;
    };
    const Case cases[] = {
        {0, true, 1, 3, "C:\\shot.bmp"},  // never saved before: opens on "PNG Image"
        {2, true, 2, 1, "C:\\shot.png"},
        {3, false, 3, 3, "unchanged"},  // cancelled
        {-5, false, 1, -5, "unchanged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typeIndex);
        answer = DialogAnswer{};
        answer.confirm = c.confirm;
        answer.chooseIndex = c.after;
        answer.choosePath = c.path;
        int32_t typeIndex = c.typeIndex;
        Tessel::String path("unchanged");
        EXPECT_EQ(ShowSaveDialog(nullptr, "png", kSaveTypes, 3, typeIndex, path), c.confirm);
        EXPECT_EQ(answer.shownIndex, c.shown);
        EXPECT_EQ(answer.defaultExtension, "png");
        EXPECT_EQ(answer.typeCount, 3u);
        EXPECT_EQ(typeIndex, c.after);
        EXPECT_STREQ(path.CStr(), c.path);
    }
    EXPECT_EQ(SetSaveDialogHookForTesting(previous), &AnswerDialog);
}

// The real dialog, driven from a timer that runs inside its modal loop: it types a name into
// the focused file name box, picks a file type and presses a button.
struct DialogScript {
    std::wstring name;
    int chooseType = -1;  // 0-based position in the type list; -1 leaves it
    int button = IDOK;
    int attempts = 0;
};
DialogScript script;

HWND FindThreadDialog() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            wchar_t className[16] = L"";
            GetClassNameW(window, className, 16);
            if (std::wstring(className) != L"#32770" || !IsWindowVisible(window))
                return TRUE;
            *reinterpret_cast<HWND*>(param) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND FindTypeList(HWND dialog) {
    HWND found = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND window, LPARAM param) -> BOOL {
            wchar_t className[16] = L"";
            GetClassNameW(window, className, 16);
            if (std::wstring(className) != L"ComboBox" ||
                SendMessageW(window, CB_GETCOUNT, 0, 0) != 3) {
                return TRUE;
            }
            *reinterpret_cast<HWND*>(param) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND dialog = FindThreadDialog();
    if (dialog == nullptr) {
        // Never leave a test hanging on a dialog nobody can see.
        if (++script.attempts > 100)
            KillTimer(nullptr, timer);
        return;
    }
    KillTimer(nullptr, timer);
    if (script.chooseType >= 0) {
        const HWND types = FindTypeList(dialog);
        SendMessageW(types, CB_SETCURSEL, script.chooseType, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(types), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(types));
    }
    SetWindowTextW(GetFocus(), script.name.c_str());
    PostMessageW(dialog, WM_COMMAND, script.button, 0);
}

TEST(ShowSaveDialog, RealDialogGivesThePathAndTheChosenType) {
    const TempFolder folder;
    struct Case {
        int32_t typeIndex;
        int chooseType;
        int button;
        bool confirmed;
        int32_t after;
        std::wstring path;
    };
    const Case cases[] = {
        {2, -1, IDOK, true, 2, folder / L"shot.jpg"},  // opens on "JPEG Image"; its extension
        {0, 2, IDOK, true, 3, folder / L"shot.bmp"},   // "Bitmap" chosen in the dialog
        {1, -1, IDCANCEL, false, 1, L"unchanged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.typeIndex << " " << c.chooseType << " " << c.button);
        script = DialogScript{folder / L"shot", c.chooseType, c.button};
        ASSERT_NE(SetTimer(nullptr, 0, 100, DriveDialog), 0u);
        int32_t typeIndex = c.typeIndex;
        Tessel::String path("unchanged");
        EXPECT_EQ(ShowSaveDialog(nullptr, "png", kSaveTypes, 3, typeIndex, path), c.confirmed);
        EXPECT_EQ(typeIndex, c.after);
        EXPECT_STREQ(path.CStr(), Utf8(c.path).CStr());
    }
}

}  // namespace
