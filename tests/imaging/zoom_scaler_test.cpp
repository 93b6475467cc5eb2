#include "imaging/zoom_scaler.h"

#include "imaging/scaler_test_image.h"

namespace {

constexpr int32_t kPercents[] = {50,  100,  120,  150,  200,  250,  300,  400,  500, 600,
                                 800, 1000, 1200, 1500, 2000, 2500, 3000, 4000, 5000};

// Draws with one scaler throughout, as the viewer does, so that what it keeps from one draw to
// the next is exercised.
std::vector<uint32_t> Render(TestImage& image, ScaleFilter filter, Size zoomed,
                             const Rect& target) {
    static ZoomScaler scaler;
    int32_t width = target.right - target.left;
    std::vector<uint32_t> out(static_cast<size_t>(width) * (target.bottom - target.top));
    EXPECT_TRUE(scaler.Draw(image, filter, image.size, zoomed, target, out.data(), width));
    return out;
}

// Any piece drawn alone is exactly that piece of the whole draw: one-pixel columns and rows at
// every phase of the zoom, and a block off the origin.
TEST(ZoomScaler, PiecesMatchTheWholeDrawAtEveryZoom) {
    const Size sizes[] = {{1, 1}, {7, 30}, {13, 11}};
    for (Size size : sizes) {
        TestImage image(size, Noise);
        for (int32_t percent : kPercents) {
            Size zoomed{size.cx * percent / 100, size.cy * percent / 100};
            if (zoomed.cx == 0 || zoomed.cy == 0) {
                continue;
            }
            for (ScaleFilter filter : {ScaleFilter::kSmooth, ScaleFilter::kSharp}) {
                SCOPED_TRACE(testing::Message() << size.cx << "x" << size.cy << " at " << percent
                                                << "% " << (filter == ScaleFilter::kSmooth));
                std::vector<uint32_t> whole =
                    Render(image, filter, zoomed, Rect{0, 0, zoomed.cx, zoomed.cy});
                const Rect pieces[] = {
                    {zoomed.cx / 3, 0, zoomed.cx / 3 + 1, zoomed.cy},
                    {zoomed.cx - 1, 0, zoomed.cx, zoomed.cy},
                    {0, zoomed.cy / 2, zoomed.cx, zoomed.cy / 2 + 1},
                    {zoomed.cx / 2, zoomed.cy / 3, zoomed.cx, zoomed.cy},
                    {zoomed.cx / 2, 0, zoomed.cx, zoomed.cy / 3 + 1},  // same columns, rows above
                };
                for (const Rect& piece : pieces) {
                    std::vector<uint32_t> expected;
                    for (int32_t y = piece.top; y < piece.bottom; ++y) {
                        const auto row = whole.begin() + static_cast<ptrdiff_t>(y) * zoomed.cx;
                        expected.insert(expected.end(), row + piece.left, row + piece.right);
                    }
                    EXPECT_TRUE(Render(image, filter, zoomed, piece) == expected)
                        << piece.left << "," << piece.top;
                }
            }
        }
    }
}

// What a smooth draw must give, within the rounding of its two passes (one level per
// channel): a flat image stays flat, a ramp is interpolated from the top-left of each cell, the
// edge repeats, and zooming out averages the pixels each output pixel covers. Sharp draws are
// compared with StretchBlt's in view_painting_test.
TEST(ZoomScaler, SmoothValues) {
    using Pixel = uint32_t (*)(int32_t x, int32_t y);
    const Pixel flat = [](int32_t, int32_t) { return 0xFF7F0180u; };
    const Pixel ramp = [](int32_t x, int32_t) { return x ? 0x80u : 0u; };
    const Pixel blocks = [](int32_t x, int32_t y) {
        return static_cast<uint32_t>(x * 10 + y * 101 + (x & 1));
    };
    const Pixel green = [](int32_t x, int32_t) { return static_cast<uint32_t>(x * 30) << 8; };
    struct Case {
        Size image;
        Pixel pixel;
        Size zoomed;
        std::vector<uint32_t> expectedRow0;
    };
    const Case cases[] = {
        {{5, 3}, flat, {7, 4}, std::vector<uint32_t>(7, 0xFF7F0180u)},
        {{2, 1}, ramp, {4, 2}, {0x00, 0x40, 0x80, 0x80}},
        {{2, 1}, ramp, {8, 4}, {0, 32, 64, 96, 128, 128, 128, 128}},
        {{4, 2}, blocks, {2, 1}, {(0 + 11 + 101 + 112 + 2) / 4, (20 + 31 + 121 + 132 + 2) / 4}},
        {{3, 2}, green, {1, 1}, {30 << 8}},  // three columns into one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        TestImage image(c.image, c.pixel);
        const std::vector<uint32_t> out =
            Render(image, ScaleFilter::kSmooth, c.zoomed, {0, 0, c.zoomed.cx, 1});
        ASSERT_EQ(out.size(), c.expectedRow0.size());
        for (size_t x = 0; x < out.size(); ++x) {
            EXPECT_LE(MaxChannelDifference(out[x], c.expectedRow0[x]), 1) << "x " << x;
        }
    }
}

}  // namespace
