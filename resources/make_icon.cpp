// Draws the program icon -- a green disc with a silver rim and a light green
// crosshair with tick marks, like a sight -- at 16, 32 and 48 pixels and writes
// them as 32-bpp images with alpha into one .ico file.
//
//   make_icon resources/glimpser.ico

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

struct Rgba {
    double r, g, b, a;
};

constexpr int kSamples = 8;  // per axis, for smooth edges
constexpr double kRimInner = 0.80;

double Clamp01(double v) {
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

// Colour of one point of the icon in unit coordinates (-1..1, y down); alpha 0 outside the disc.
Rgba Shade(double u, double v, int size) {
    const double d = std::sqrt(u * u + v * v);
    if (d > 1.0)
        return {0, 0, 0, 0};
    const double pixel = 2.0 / size;
    if (d > kRimInner) {
        // Silver rim lit from the top left.
        const double light = Clamp01(0.5 - 0.5 * (u + v) / (d > 0 ? d : 1.0));
        const double edge = (d - kRimInner) / (1.0 - kRimInner);
        const double level = 150 + 95 * light - 25 * std::fabs(edge - 0.5);
        return {level, level, level + 8, 255};
    }
    // Crosshair lines stop short of the rim and leave the very centre open.
    const double half = (size <= 16 ? 0.55 : size <= 32 ? 0.8 : 1.1) * pixel;
    const double reach = kRimInner - 1.5 * pixel;
    const double gap = size <= 16 ? 0.0 : 0.12;
    const bool onHorizontal = std::fabs(v) <= half && std::fabs(u) <= reach && std::fabs(u) >= gap;
    const bool onVertical = std::fabs(u) <= half && std::fabs(v) <= reach && std::fabs(v) >= gap;
    bool onTick = false;
    const double tickLength = size <= 16 ? 0.16 : 0.12;
    const double ticks[] = {0.3, 0.55};
    for (double t : ticks) {
        if (size <= 16 && t < 0.5)
            continue;  // too crowded at the smallest size
        const bool alongHorizontal =
            std::fabs(std::fabs(u) - t) <= half && std::fabs(v) <= tickLength;
        const bool alongVertical =
            std::fabs(std::fabs(v) - t) <= half && std::fabs(u) <= tickLength;
        onTick = onTick || alongHorizontal || alongVertical;
    }
    if (onHorizontal || onVertical || onTick)
        return {170, 255, 150, 255};
    // Green disc, brighter towards the centre.
    const double glow = 1.0 - d / kRimInner;
    return {25 + 30 * glow, 105 + 70 * glow, 40 + 30 * glow, 255};
}

// Pixels top-down, BGRA with straight alpha.
std::vector<uint8_t> Render(int size) {
    std::vector<uint8_t> pixels(static_cast<size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double u = ((x + (sx + 0.5) / kSamples) / size) * 2.0 - 1.0;
                    const double v = ((y + (sy + 0.5) / kSamples) / size) * 2.0 - 1.0;
                    const Rgba c = Shade(u, v, size);
                    const double alpha = c.a / 255.0;
                    r += c.r * alpha;
                    g += c.g * alpha;
                    b += c.b * alpha;
                    a += alpha;
                }
            }
            uint8_t* out = &pixels[(static_cast<size_t>(y) * size + x) * 4];
            const double n = kSamples * kSamples;
            if (a > 0) {
                out[0] = static_cast<uint8_t>(std::lround(Clamp01(b / a / 255.0) * 255.0));
                out[1] = static_cast<uint8_t>(std::lround(Clamp01(g / a / 255.0) * 255.0));
                out[2] = static_cast<uint8_t>(std::lround(Clamp01(r / a / 255.0) * 255.0));
            }
            out[3] = static_cast<uint8_t>(std::lround(Clamp01(a / n) * 255.0));
        }
    }
    return pixels;
}

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// One icon image: BITMAPINFOHEADER, bottom-up BGRA rows, then the 1-bpp AND mask
// (set where the pixel is fully transparent) for renderers that ignore alpha.
std::vector<uint8_t> EncodeImage(int size) {
    const std::vector<uint8_t> pixels = Render(size);
    const uint32_t maskStride = ((static_cast<uint32_t>(size) + 31) / 32) * 4;
    std::vector<uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(size));
    Put32(out, static_cast<uint32_t>(size) * 2);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(size * size * 4) + maskStride * size);
    for (int i = 0; i < 4; ++i)
        Put32(out, 0);
    for (int y = size - 1; y >= 0; --y) {
        const uint8_t* row = &pixels[static_cast<size_t>(y) * size * 4];
        out.insert(out.end(), row, row + size * 4);
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> mask(maskStride, 0);
        for (int x = 0; x < size; ++x) {
            if (pixels[(static_cast<size_t>(y) * size + x) * 4 + 3] == 0)
                mask[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
        out.insert(out.end(), mask.begin(), mask.end());
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon <output.ico>\n");
        return 2;
    }
    const int sizes[] = {16, 32, 48};
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes)
        images.push_back(EncodeImage(size));

    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<uint8_t>(sizes[i]));
        file.push_back(static_cast<uint8_t>(sizes[i]));
        file.push_back(0);
        file.push_back(0);
        Put16(file, 1);
        Put16(file, 32);
        Put32(file, static_cast<uint32_t>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const std::vector<uint8_t>& image : images)
        file.insert(file.end(), image.begin(), image.end());

    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
        return 1;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        std::fprintf(stderr, "make_icon: failed writing %s\n", argv[1]);
        return 1;
    }
    return 0;
}
