#include "imaging/png_file.h"

#include <cstdlib>

#include "imaging/bitmap_utils.h"
#include "imaging/png_encoder.h"
#include "imaging/temporary_name.h"
#include "tessel/format.h"
#include "win/path_text.h"
#include "win/scoped_win.h"
#include "win/win_text.h"

namespace {

PngFileStep failingStep = PngFileStep::None;

bool Fails(PngFileStep step) {
    return failingStep == step;
}

// The bitmap's rows as 32-bit pixels, whatever its own format, read a band at a time: a whole
// copy of a full-screen capture would add its size again to the capture's peak memory. Each
// reader has its own DC and band, so that the encoder's threads each read their own rows.
class DibRows : public IPngRows {
public:
    explicit DibRows(HBITMAP bitmap) : bitmap(bitmap) {
        BITMAP header{};
        if (bitmap == nullptr || GetObjectW(bitmap, sizeof(header), &header) == 0 ||
            header.bmWidth <= 0 || header.bmHeight <= 0) {
            return;
        }
        band = static_cast<uint8_t*>(
            std::malloc(size_t{4} * kBandRows * static_cast<uint32_t>(header.bmWidth)));
        if (band == nullptr) {
            outOfMemory = true;
            return;
        }
        // Bottom-up, the one row order in which GDI numbers scan lines the same everywhere.
        info = Make32BitDibInfo(header.bmWidth, header.bmHeight);
        picture.rows = this;
        picture.width = static_cast<uint32_t>(header.bmWidth);
        picture.height = static_cast<uint32_t>(header.bmHeight);
    }
    ~DibRows() override { std::free(band); }
    DibRows(const DibRows&) = delete;
    DibRows& operator=(const DibRows&) = delete;

    const uint8_t* Row(uint32_t y) override {
        if (y < bandTop || y >= bandTop + bandRows) {
            bandTop = y;
            bandRows = picture.height - y < kBandRows ? picture.height - y : kBandRows;
            const UINT firstScan = picture.height - (bandTop + bandRows);
            if (GetDIBits(dc.Get(), bitmap, firstScan, bandRows, band, &info, DIB_RGB_COLORS) !=
                static_cast<int>(bandRows)) {
                bandRows = 0;
                return nullptr;
            }
        }
        return band + size_t{4} * picture.width * (bandTop + bandRows - 1 - y);
    }

    Tessel::OwnedPtr<IPngRows> OpenAnother() override {
        Tessel::OwnedPtr<DibRows> another = Tessel::MakeOwned<DibRows>(bitmap);
        if (!another || another->picture.rows == nullptr || another->dc.Get() == nullptr) {
            return {};
        }
        return another;
    }

    bool outOfMemory = false;
    PngPicture picture;  // no rows when the bitmap could not be read

private:
    static constexpr uint32_t kBandRows = 64;
    HBITMAP bitmap;
    ScopedDC dc{CreateCompatibleDC(nullptr)};
    BITMAPINFO info{};
    uint8_t* band = nullptr;
    uint32_t bandTop = 0;
    uint32_t bandRows = 0;
};

class FileSink : public IByteSink {
public:
    explicit FileSink(HANDLE file) : file(file) {}
    bool Write(const uint8_t* data, size_t size) override {
        // The second write fails, so that the failure leaves a partly written file behind.
        if (Fails(PngFileStep::Write) && ++writes == 2) {
            return false;
        }
        DWORD written = 0;
        return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) &&
               written == size;
    }

private:
    HANDLE file;
    int writes = 0;
};

Tessel::String TemporaryPath(const Tessel::String& path) {
    const Tessel::String name = GetFileNamePart(path);
    const Tessel::String folder = path.Substring(0, path.Length() - name.Length());
    return Tessel::Format(
        "%s%s", folder.CStr(),
        TemporaryFileName(name, static_cast<uint32_t>(GetCurrentProcessId())).CStr());
}

// Encodes into the open file and makes it durable; false when any step fails.
bool WriteDurably(HANDLE file, const PngPicture& picture) {
    FileSink sink(file);
    return EncodePng(picture, sink) && !Fails(PngFileStep::Flush) && FlushFileBuffers(file);
}

}  // namespace

PngFileResult WritePngFile(HBITMAP bitmap, const Tessel::String& path, uint32_t dpi, bool replace,
                           Tessel::String* keptTemporary, uint32_t threads) {
    DibRows pixels(bitmap);
    if (pixels.outOfMemory) {
        return PngFileResult::NoMemory;
    }
    if (pixels.picture.rows == nullptr) {
        return PngFileResult::Failed;
    }
    pixels.picture.dpi = dpi != 0 ? dpi : GetScreenDpi();
    pixels.picture.threads = threads;

    const Tessel::String temporaryPath = TemporaryPath(path);
    const Tessel::WString temporary = ToWide(temporaryPath);
    // A leftover of this process id can only come from a process that died: it is replaced.
    const HANDLE created = Fails(PngFileStep::Create)
                               ? INVALID_HANDLE_VALUE
                               : CreateFileW(WStr(temporary), GENERIC_WRITE, 0, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE) {
        return PngFileResult::Failed;
    }
    ScopedHandle file(created);
    const bool written = WriteDurably(file.Get(), pixels.picture);
    file.Reset();
    if (Fails(PngFileStep::Crash)) {
        return PngFileResult::Failed;
    }
    // Without MOVEFILE_REPLACE_EXISTING the rename fails on an existing file rather than
    // overwrite it.
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (written && !Fails(PngFileStep::Rename) &&
        MoveFileExW(WStr(temporary), WStr(ToWide(path)), flags)) {
        return PngFileResult::Written;
    }
    const DWORD error = GetLastError();
    if (written && keptTemporary != nullptr &&
        (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)) {
        *keptTemporary = temporaryPath;
        return PngFileResult::NameTaken;
    }
    DeleteFileW(WStr(temporary));
    return PngFileResult::Failed;
}

const char* DescribePngFileFailure(PngFileResult result) {
    return result == PngFileResult::NoMemory ? "Failed to save image - internal error"
                                             : "Failed to save file";
}

void SetPngFileFailureForTesting(PngFileStep step) {
    failingStep = step;
}
