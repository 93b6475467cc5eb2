#include "imaging/zoom_scaler.h"

#include "imaging/scaler_test_image.h"

namespace {

constexpr int32_t kPercents[] = {50,  100,  120,  150,  200,  250,  300,  400,  500, 600,
                                 800, 1000, 1200, 1500, 2000, 2500, 3000, 4000, 5000};

uint32_t Noise(int32_t x, int32_t y) {
    uint32_t h = static_cast<uint32_t>(x) * 2654435761u ^ static_cast<uint32_t>(y) * 40503u;
    return (h ^ (h >> 13)) * 2246822519u;
}

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
                    std::vector<uint32_t> part = Render(image, filter, zoomed, piece);
                    int32_t width = piece.right - piece.left;
                    int wrong = 0;
                    for (size_t i = 0; i < part.size(); ++i) {
                        int32_t x = piece.left + static_cast<int32_t>(i % width);
                        int32_t y = piece.top + static_cast<int32_t>(i / width);
                        wrong += part[i] != whole[static_cast<size_t>(y) * zoomed.cx + x];
                    }
                    EXPECT_EQ(wrong, 0) << piece.left << "," << piece.top;
                }
            }
        }
    }
}

// What a smooth draw must give, within the rounding of its two passes (one level per
// channel): a flat image stays flat, a ramp is interpolated from the top-left of each cell, the
// edge repeats, and 50% averages the pixels each output pixel covers.
TEST(ZoomScaler, SmoothValues) {
    struct Case {
        const char* name;
        Size image;
        uint32_t (*pixel)(int32_t x, int32_t y);
        int32_t percent;
        std::vector<uint32_t> expectedRow0;
    } cases[] = {
        {"flat at 150%",
         {5, 3},
         [](int32_t, int32_t) { return 0xFF7F0180u; },
         150,
         std::vector<uint32_t>(7, 0xFF7F0180u)},
        {"ramp at 200%",
         {2, 1},
         [](int32_t x, int32_t) { return x ? 0x80u : 0u; },
         200,
         {0x00, 0x40, 0x80, 0x80}},
        {"ramp at 400%",
         {2, 1},
         [](int32_t x, int32_t) { return x ? 0x80u : 0u; },
         400,
         {0, 32, 64, 96, 128, 128, 128, 128}},
        {"2x2 blocks at 50%",
         {4, 2},
         [](int32_t x, int32_t y) { return static_cast<uint32_t>(x * 10 + y * 101 + (x & 1)); },
         50,
         {(0 + 11 + 101 + 112 + 2) / 4, (20 + 31 + 121 + 132 + 2) / 4}},
        {"three columns into one at 50%",
         {3, 2},
         [](int32_t x, int32_t) { return static_cast<uint32_t>(x * 30) << 8; },
         50,
         {30 << 8}},
    };
    for (const Case& c : cases) {
        TestImage image(c.image, c.pixel);
        Size zoomed{c.image.cx * c.percent / 100, c.image.cy * c.percent / 100};
        std::vector<uint32_t> out =
            Render(image, ScaleFilter::kSmooth, zoomed, Rect{0, 0, zoomed.cx, zoomed.cy});
        ASSERT_EQ(static_cast<size_t>(zoomed.cx), c.expectedRow0.size()) << c.name;
        for (int32_t x = 0; x < zoomed.cx; ++x) {
            EXPECT_LE(MaxChannelDifference(out[x], c.expectedRow0[x]), 1) << c.name << " x " << x;
        }
    }
}

// Sharp picks the pixel under each output pixel's centre, as the platform's StretchBlt does,
// the upper one on a tie.
TEST(ZoomScaler, SharpPixelsAreThoseUnderTheCentres) {
    struct Case {
        int32_t image, zoomed;
        std::vector<int32_t> expected;
    } cases[] = {
        {7, 8, {0, 1, 2, 3, 3, 4, 5, 6}},
        {7, 10, {0, 1, 1, 2, 3, 3, 4, 5, 5, 6}},
        {7, 17, {0, 0, 1, 1, 1, 2, 2, 3, 3, 3, 4, 4, 5, 5, 5, 6, 6}},
        {2, 3, {0, 0, 1}},  // centres on the line between two pixels
        {2, 5, {0, 0, 0, 1, 1}},
    };
    for (const Case& c : cases) {
        std::vector<int32_t> got;
        for (int32_t u = 0; u < c.zoomed; ++u) {
            got.push_back(SharpPixel(u, c.image, c.zoomed));
        }
        EXPECT_EQ(got, c.expected) << c.image << " to " << c.zoomed;
    }
}

}  // namespace
