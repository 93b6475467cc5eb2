// Arbitrary stored region texts through ParseCaptureRegion, and arbitrary images and regions
// through the crop arithmetic, checked against what the capture relies on.
#include <cstdint>
#include <cstring>

#include "capture/capture_region.h"
#include "fuzz/fuzz_harness.h"

void Fuzz(const std::string& input) {
    int32_t v[6] = {};
    std::memcpy(v, input.data(), input.size() < sizeof(v) ? input.size() : sizeof(v));
    // Whatever is planned lies inside both the image and the result.
    const Rect region{v[2], v[3], v[4], v[5]};
    CropPlan plan{};
    if (PlanCrop(Size{v[0], v[1]}, region, plan)) {
        const Rect& s = plan.source;
        const int64_t width = static_cast<int64_t>(s.right) - s.left;
        const int64_t height = static_cast<int64_t>(s.bottom) - s.top;
        const bool inside = s.left >= 0 && s.top >= 0 && s.right <= v[0] && s.bottom <= v[1] &&
                            width > 0 && height > 0 && plan.destination.x >= 0 &&
                            plan.destination.y >= 0 &&
                            plan.destination.x + width <= plan.result.cx &&
                            plan.destination.y + height <= plan.result.cy;
        Check(plan.result.cx == static_cast<int64_t>(region.right) - region.left &&
              plan.result.cy == static_cast<int64_t>(region.bottom) - region.top &&
              static_cast<int64_t>(plan.result.cx) * plan.result.cy * 4 <= INT32_MAX &&
              (!plan.copy || inside) &&
              plan.fill == (!plan.copy || width != plan.result.cx || height != plan.result.cy));
    }
    // Whatever was read, its stored form reads back the same.
    const Rect parsed = ParseCaptureRegion(input.c_str());
    Check(ParseCaptureRegion(FormatCaptureRegion(parsed).CStr()) == parsed);
}
