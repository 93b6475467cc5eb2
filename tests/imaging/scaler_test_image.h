#pragma once
// An image in memory for the zoom scaler, a picture with no two neighbours alike, and how far
// two pixels differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "imaging/zoom_scaler.h"

// Checks that the scaler asks only for rows and columns inside the image, rows in increasing
// order.
class TestImage final : public ScalerSource {
public:
    TestImage(Size size, uint32_t (*pixel)(int32_t x, int32_t y))
        : size(size),
          stride(size.cx + kScalerRowPadding),
          pixels(static_cast<size_t>(stride) * size.cy, 0xDEADBEEF) {
        for (int32_t y = 0; y < size.cy; ++y) {
            for (int32_t x = 0; x < size.cx; ++x) {
                pixels[static_cast<size_t>(y) * stride + x] = pixel(x, y);
            }
        }
    }
    bool Columns(int32_t first, int32_t end) override {
        EXPECT_TRUE(first >= 0 && first < end && end <= size.cx) << first << ".." << end;
        firstColumn = first;
        lastRow = -1;
        return true;
    }
    const uint32_t* Row(int32_t y) override {
        EXPECT_TRUE(y > lastRow && y < size.cy) << y << " after " << lastRow;
        lastRow = y;
        return pixels.data() + static_cast<size_t>(y) * stride + firstColumn;
    }

    Size size;

private:
    int32_t stride;
    std::vector<uint32_t> pixels;
    int32_t firstColumn = 0;
    int32_t lastRow = -1;
};

// Every channel of every pixel unlike its neighbours: the sharpest edges a picture can have.
inline uint32_t Noise(int32_t x, int32_t y) {
    uint32_t h = static_cast<uint32_t>(x) * 2654435761u ^ static_cast<uint32_t>(y) * 40503u;
    return (h ^ (h >> 13)) * 2246822519u;
}

// The largest difference between a and b in any of their lowest `channels` bytes.
inline int MaxChannelDifference(uint32_t a, uint32_t b, int channels = 4) {
    int most = 0;
    for (int shift = 0; shift < channels * 8; shift += 8) {
        most = std::max(most, std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                       static_cast<int>((b >> shift) & 0xFF)));
    }
    return most;
}
