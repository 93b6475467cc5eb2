#include "imaging/image_file_reader.h"

#include <cstdlib>
#include <cstring>

#include "imaging/bitmap_utils.h"
#include "imaging/png_reader.h"
#include "win/scoped_win.h"
#include "win/win_text.h"

namespace {

// A file this large is no capture; GDI+ may try it without the program holding it whole.
constexpr LONGLONG kLargestFile = LONGLONG{1} << 30;

struct FileBytes {
    ~FileBytes() { std::free(bytes); }
    uint8_t* bytes = nullptr;
    size_t size = 0;
};

bool ReadExactly(HANDLE file, uint8_t* into, size_t size) {
    while (size != 0) {
        DWORD read = 0;
        const DWORD piece = size > (DWORD{1} << 30) ? DWORD{1} << 30 : static_cast<DWORD>(size);
        if (!ReadFile(file, into, piece, &read, nullptr) || read == 0) {
            return false;
        }
        into += read;
        size -= read;
    }
    return true;
}

// The whole file when its header is one the program's reader decodes; false otherwise, so that
// other images are read only once, by GDI+.
bool ReadPngFile(const Tessel::String& path, FileBytes* file) {
    // Other processes may rename or delete history files while they are read here.
    const HANDLE opened = CreateFileW(WStr(ToWide(path)), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return false;
    }
    const ScopedHandle handle(opened);
    LARGE_INTEGER size{};
    uint8_t header[kPngHeaderBytes];
    PngLayout layout;
    if (!GetFileSizeEx(handle.Get(), &size) || size.QuadPart < LONGLONG{kPngHeaderBytes} ||
        size.QuadPart > kLargestFile || !ReadExactly(handle.Get(), header, sizeof(header)) ||
        !ReadPngHeader(header, sizeof(header), &layout)) {
        return false;
    }
    file->size = static_cast<size_t>(size.QuadPart);
    file->bytes = static_cast<uint8_t*>(std::malloc(file->size));
    if (file->bytes == nullptr) {
        return false;
    }
    std::memcpy(file->bytes, header, sizeof(header));
    return ReadExactly(handle.Get(), file->bytes + sizeof(header), file->size - sizeof(header));
}

HBITMAP DecodeOwnPng(const Tessel::String& path) {
    FileBytes file;
    PngLayout layout;
    if (!ReadPngFile(path, &file) || !ScanPng(file.bytes, file.size, &layout)) {
        return nullptr;
    }
    const BITMAPINFO info =
        Make32BitDibInfo(static_cast<int32_t>(layout.width), static_cast<int32_t>(layout.height));
    void* bits = nullptr;
    ScopedBitmap dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || bits == nullptr) {
        return nullptr;
    }
    // Bottom-up: the image's top row is the last in memory.
    const ptrdiff_t rowBytes = static_cast<ptrdiff_t>(layout.width) * 4;
    uint8_t* top = static_cast<uint8_t*>(bits) + rowBytes * (layout.height - 1);
    if (!DecodePng(file.bytes, file.size, layout, top, -rowBytes)) {
        return nullptr;
    }
    return dib.Release();
}

}  // namespace

HBITMAP ReadImageFile(const Tessel::String& path) {
    if (HBITMAP own = DecodeOwnPng(path)) {
        return own;
    }
    return BitmapFromGdiplus(LoadBitmapForGdiplus(path).Get());
}
