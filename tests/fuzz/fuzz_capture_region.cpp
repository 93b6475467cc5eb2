// Arbitrary stored region texts through ParseCaptureRegion, and arbitrary images and regions
// through the crop arithmetic, checked against what the capture relies on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "capture/capture_region.h"

namespace {

int32_t Take(const uint8_t*& data, size_t& size) {
    uint32_t value = 0;
    for (int i = 0; i < 4 && size > 0; ++i, ++data, --size) {
        value |= static_cast<uint32_t>(*data) << (8 * i);
    }
    return static_cast<int32_t>(value);
}

// Every coordinate of the plan lies inside both the image and the result.
void CheckCrop(const Size& image, const Rect& region) {
    CropPlan plan{};
    if (!PlanCrop(image, region, plan)) {
        return;
    }
    const int64_t width = static_cast<int64_t>(region.right) - region.left;
    const int64_t height = static_cast<int64_t>(region.bottom) - region.top;
    if (plan.result.cx != width || plan.result.cy != height ||
        static_cast<int64_t>(plan.result.cx) * plan.result.cy * 4 > INT32_MAX) {
        std::abort();
    }
    if (!plan.copy) {
        return;
    }
    const Rect& s = plan.source;
    const int64_t copiedWidth = static_cast<int64_t>(s.right) - s.left;
    const int64_t copiedHeight = static_cast<int64_t>(s.bottom) - s.top;
    if (s.left < 0 || s.top < 0 || s.right > image.cx || s.bottom > image.cy || copiedWidth <= 0 ||
        copiedHeight <= 0 || plan.destination.x < 0 || plan.destination.y < 0 ||
        plan.destination.x + copiedWidth > plan.result.cx ||
        plan.destination.y + copiedHeight > plan.result.cy ||
        plan.fill != (copiedWidth != width || copiedHeight != height)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint8_t* cursor = data;
    size_t left = size;
    const Size image{Take(cursor, left), Take(cursor, left)};
    const Rect region{Take(cursor, left), Take(cursor, left), Take(cursor, left),
                      Take(cursor, left)};
    CheckCrop(image, region);

    char* text = static_cast<char*>(std::malloc(size + 1));
    if (text == nullptr) {
        return 0;
    }
    std::memcpy(text, data, size);
    text[size] = '\0';
    const Rect parsed = ParseCaptureRegion(text);
    std::free(text);
    // Whatever was read, its stored form reads back the same.
    if (ParseCaptureRegion(FormatCaptureRegion(parsed).CStr()) != parsed) {
        std::abort();
    }
    return 0;
}
