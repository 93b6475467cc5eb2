#include "imaging/image_saving.h"

#include <cstdlib>
#include <cwchar>

#include "imaging/bitmap_utils.h"
#include "imaging/codec_extensions.h"
#include "imaging/gdiplus_lifetime.h"
#include "imaging/png_file.h"
#include "tessel/owned_ptr.h"
#include "win/com_start.h"
#include "win/path_text.h"
#include "win/registry_readers.h"
#include "win/show_message.h"
#include "win/win_text.h"

using namespace Gdiplus::DllExports;

namespace {

SaveDialogHook saveDialogHook = nullptr;

// The first GDI+ encoder for exactly this MIME type (case matters) or, with no MIME type, the
// first whose file-name patterns include the extension; false when there is none.
bool FindEncoder(const Tessel::WString& mimeType, const Tessel::WString& extension,
                 CLSID& encoder) {
    UINT count = 0;
    UINT size = 0;
    if (GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || count == 0 || size == 0) {
        return false;
    }
    void* buffer = std::malloc(size);
    if (buffer == nullptr) {
        return false;
    }
    auto* codecs = static_cast<Gdiplus::ImageCodecInfo*>(buffer);
    bool found = false;
    if (GdipGetImageEncoders(count, size, codecs) == Gdiplus::Ok) {
        for (UINT i = 0; i < count && !found; ++i) {
            if (mimeType.IsEmpty()) {
                found = CodecPatternsInclude(
                    reinterpret_cast<const char16_t*>(codecs[i].FilenameExtension),
                    extension.Text());
            } else {
                found = codecs[i].MimeType != nullptr &&
                        std::wcscmp(codecs[i].MimeType, WStr(mimeType)) == 0;
            }
            if (found) {
                encoder = codecs[i].Clsid;
            }
        }
    }
    std::free(buffer);
    return found;
}

bool IsPng(const Tessel::String& extension) {
    return CodecPatternsInclude(u"*.png", ToWide(extension).Text());
}

// The confirmed file's path; false when the dialog has no file system path to give.
bool GetChosenPath(IFileSaveDialog* dialog, Tessel::String& path) {
    IShellItem* item = nullptr;
    if (FAILED(dialog->GetResult(&item))) {
        return false;
    }
    wchar_t* name = nullptr;
    const bool named = SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &name));
    item->Release();
    if (!named) {
        return false;
    }
    path = ToUtf8(name);
    CoTaskMemFree(name);
    return true;
}

bool Fail(const char* text) {
    ShowMessage(Tessel::String(text), MB_ICONERROR);
    return false;
}

}  // namespace

bool SaveImage(HBITMAP bitmap, const Tessel::String& path, uint32_t dpi, ExistingFile existing) {
    const Tessel::String extension = GetExtension(path);
    if (IsPng(extension)) {
        const PngFileResult result =
            WritePngFile(bitmap, path, dpi, existing == ExistingFile::Replace);
        return result == PngFileResult::Written || Fail(DescribePngFileFailure(result));
    }

    const GdiplusLifetime gdiplus;
    Tessel::OwnedPtr<GdiplusBitmap> wrapper = WrapBitmapForGdiplus(bitmap);
    if (!wrapper) {
        return Fail("Failed to save image - internal error");
    }
    if (dpi != 0) {
        wrapper->Record(GdipBitmapSetResolution(wrapper->Native(), static_cast<float>(dpi),
                                                static_cast<float>(dpi)));
    }
    // No extension looks on HKEY_CLASSES_ROOT itself, which has no content type. Fresh Wine
    // prefixes and stripped-down Windows images register no content types for the image
    // formats; GDI+'s own list of extensions stands in for them.
    Tessel::String mimeType;
    ReadRegistryString(HKEY_CLASSES_ROOT, extension, "Content Type", mimeType);
    CLSID encoder{};
    if (!FindEncoder(ToWide(mimeType), ToWide(extension), encoder)) {
        return Fail("Unsupported file format");
    }
    const Gdiplus::GpStatus status = wrapper->Record(
        GdipSaveImageToFile(wrapper->Native(), WStr(ToWide(path)), &encoder, nullptr));
    wrapper.Reset();
    if (status != Gdiplus::Ok) {
        return Fail("Failed to save file");
    }
    return true;
}

bool ShowSaveDialog(HWND owner, const char* defaultExtension, const COMDLG_FILTERSPEC* types,
                    uint32_t count, int32_t& typeIndex, Tessel::String& path) {
    const UINT shownIndex = typeIndex < 1 ? 1u : static_cast<UINT>(typeIndex);
    if (saveDialogHook != nullptr) {
        int32_t answerIndex = static_cast<int32_t>(shownIndex);
        Tessel::String answerPath;
        if (!saveDialogHook(defaultExtension, types, count, answerIndex, answerPath)) {
            return false;
        }
        typeIndex = answerIndex;
        path = answerPath;
        return true;
    }

    StartComOnce();
    IFileSaveDialog* dialog = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileSaveDialog, nullptr,
                                CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER |
                                    CLSCTX_REMOTE_SERVER,
                                IID_IFileSaveDialog, reinterpret_cast<void**>(&dialog)))) {
        return false;
    }
    dialog->SetFileTypes(count, types);
    dialog->SetFileTypeIndex(shownIndex);
    dialog->SetDefaultExtension(WStr(ToWide(defaultExtension)));
    Tessel::String chosenPath;
    UINT chosenIndex = shownIndex;
    const bool chosen = SUCCEEDED(dialog->Show(owner)) && GetChosenPath(dialog, chosenPath);
    if (chosen) {
        dialog->GetFileTypeIndex(&chosenIndex);
    }
    dialog->Release();
    if (!chosen) {
        return false;
    }
    path = chosenPath;
    typeIndex = static_cast<int32_t>(chosenIndex);
    return true;
}

SaveDialogHook SetSaveDialogHookForTesting(SaveDialogHook hook) {
    const SaveDialogHook previous = saveDialogHook;
    saveDialogHook = hook;
    return previous;
}
