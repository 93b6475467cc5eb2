#include "capture/track_geometry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

// What the drag tests with real messages do not reach: the two timers, someone else's timer,
// other key traffic, and the ends of the three input ranges (non-client mouse, keyboard,
// client mouse), inside swallowed and outside dispatched.
TEST(TrackGeometry, EachMessageHasItsDragAction) {
    const std::tuple<uint32_t, uintptr_t, TrackAction> cases[] = {
        {0x0113, 98765, TrackAction::ScrollTick}, {0x0113, 98766, TrackAction::HoverTick},
        {0x0113, 1, TrackAction::Dispatch},       {0x0101, 0x1B, TrackAction::KeyMove},
        {0x0105, 0x12, TrackAction::KeyMove},     {0x0102, 0x41, TrackAction::Swallow},
        {0x00A0, 0, TrackAction::Swallow},        {0x00A9, 0, TrackAction::Swallow},
        {0x0109, 0, TrackAction::Swallow},        {0x020E, 0, TrackAction::Swallow},
        {0x009F, 0, TrackAction::Dispatch},       {0x00AA, 0, TrackAction::Dispatch},
        {0x010A, 0, TrackAction::Dispatch},       {0x020F, 0, TrackAction::Dispatch},
    };
    for (const auto& [message, wParam, action] : cases) {
        EXPECT_EQ(ClassifyTrackMessage(message, wParam), action) << std::hex << message;
    }
}

// Both corner pixels are in, and the far ones saturate at the 32-bit limit.
TEST(TrackGeometry, InclusiveRectStaysInRange) {
    EXPECT_EQ(InclusiveRect(Rect{0, 0, INT32_MAX, INT32_MAX}), (Rect{0, 0, INT32_MAX, INT32_MAX}));
}
