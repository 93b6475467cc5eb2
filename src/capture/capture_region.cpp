#include "capture/capture_region.h"

#include "tessel/format.h"
#include "tessel/parse_int.h"

namespace {

// Sleep takes 0xFFFFFFFF as "forever".
constexpr uint32_t kLongestWaitMs = 0xFFFFFFFEu;

// A 32-bit-per-pixel bitmap of more bytes than a signed 32-bit size holds fails in GDI anyway;
// refusing it here keeps the request from ever reaching the allocator.
constexpr int64_t kMaxCropPixels = 0x7FFFFFFF / 4;

}  // namespace

uint32_t GetCaptureWaitMs(uint32_t delayMs) {
    return delayMs > kLongestWaitMs - kCaptureSettleMs ? kLongestWaitMs
                                                       : delayMs + kCaptureSettleMs;
}

Rect ParseCaptureRegion(const char* text) {
    int32_t values[4] = {};
    int count = 0;
    if (text == nullptr) {
        return Rect{};
    }
    const char* piece = text;
    for (const char* p = text;; ++p) {
        if (*p != ',' && *p != '\0') {
            continue;
        }
        const int length = static_cast<int>(p - piece);
        if (length > 0) {
            if (count == 4) {
                return Rect{};
            }
            values[count++] = ParseInt(Tessel::String(piece, length).CStr(), 0);
        }
        if (*p == '\0') {
            break;
        }
        piece = p + 1;
    }
    if (count != 4) {
        return Rect{};
    }
    return Rect{values[0], values[1], values[2], values[3]};
}

Tessel::String FormatCaptureRegion(const Rect& region) {
    return Tessel::Format("%i,%i,%i,%i", region.left, region.top, region.right, region.bottom);
}

bool PlanCrop(const Size& image, const Rect& region, CropPlan& plan) {
    const int64_t width = static_cast<int64_t>(region.right) - region.left;
    const int64_t height = static_cast<int64_t>(region.bottom) - region.top;
    if (width <= 0 || height <= 0 || width > INT32_MAX || height > INT32_MAX ||
        width * height > kMaxCropPixels) {
        return false;
    }
    plan.result = Size{static_cast<int32_t>(width), static_cast<int32_t>(height)};
    const int32_t imageRight = image.cx > 0 ? image.cx : 0;
    const int32_t imageBottom = image.cy > 0 ? image.cy : 0;
    plan.source = Rect{region.left > 0 ? region.left : 0, region.top > 0 ? region.top : 0,
                       region.right < imageRight ? region.right : imageRight,
                       region.bottom < imageBottom ? region.bottom : imageBottom};
    plan.copy = !IsRectEmpty(plan.source);
    if (!plan.copy) {
        plan.source = Rect{};
    }
    // Both differences fit: the source lies inside the region, whose sides fit 32 bits.
    plan.destination =
        plan.copy
            ? Point{static_cast<int32_t>(static_cast<int64_t>(plan.source.left) - region.left),
                    static_cast<int32_t>(static_cast<int64_t>(plan.source.top) - region.top)}
            : Point{};
    plan.fill = !(plan.copy && plan.source == region);
    return true;
}
