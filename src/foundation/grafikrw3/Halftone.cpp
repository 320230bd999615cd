#include "codecs/Codec.h"
#include "grafikrw3.h"

#include <algorithm>
#include <vector>

namespace grafikrw3 {

namespace {

constexpr int kCubeLevels = 6;
constexpr int kCubeSize = kCubeLevels * kCubeLevels * kCubeLevels; // 216
constexpr int kGreys = 256 - kCubeSize;                            // 40

// 8 x 8 ordered-dither thresholds, 0 to 63.
constexpr std::uint8_t kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};

void setHalftonePalette(dib& picture) {
    for (int r = 0; r < kCubeLevels; ++r) {
        for (int g = 0; g < kCubeLevels; ++g) {
            for (int b = 0; b < kCubeLevels; ++b) {
                codec::setColor(picture, (r * kCubeLevels + g) * kCubeLevels + b,
                                std::uint8_t(r * 51), std::uint8_t(g * 51), std::uint8_t(b * 51));
            }
        }
    }
    for (int i = 0; i < kGreys; ++i) {
        const auto grey = std::uint8_t((i + 1) * 255 / (kGreys + 1));
        codec::setColor(picture, kCubeSize + i, grey, grey, grey);
    }
}

// Level 0..steps of `value` after adding the dither threshold.
int dithered(int value, int steps, int threshold) {
    const int scaled = value * steps * 64 / 255 + threshold;
    return std::min(scaled / 64, steps);
}

std::uint8_t halftoneIndex(int r, int g, int b, int threshold) {
    if (r == g && g == b) {
        // Greys use the finer grey ramp between black and white.
        const int level = dithered(r, kGreys + 1, threshold);
        return level == 0       ? 0
               : level > kGreys ? std::uint8_t(kCubeSize - 1)
                                : std::uint8_t(kCubeSize + level - 1);
    }
    const int steps = kCubeLevels - 1;
    return std::uint8_t(
        (dithered(r, steps, threshold) * kCubeLevels + dithered(g, steps, threshold)) *
            kCubeLevels +
        dithered(b, steps, threshold));
}

} // namespace

void DIBHalftoneDIBXY(dib* out, const dib& source, std::int32_t width, std::int32_t height) {
    *out = dib{};
    if (!source.poi) {
        return;
    }
    width = std::max(width, 1);
    height = std::max(height, 1);
    newdib(out, width, height, 8, nullptr, 0);
    if (!out->poi) {
        return;
    }
    setHalftonePalette(*out);
    const std::int32_t sw = DIBWidth(source);
    const std::int32_t sh = DIBHeight(source);
    std::vector<std::uint8_t> rgb(std::size_t(sw) * 3);
    std::vector<std::uint64_t> sums(std::size_t(width) * 3);
    std::vector<std::uint32_t> counts(static_cast<std::size_t>(width));
    for (std::int32_t y = 0; y < height; ++y) {
        // Source rows y0..y1 and columns x0..x1 (at least one each) average into a pixel.
        const std::int32_t y0 = std::int32_t(std::int64_t(y) * sh / height);
        const std::int32_t y1 = std::max(y0 + 1, std::int32_t(std::int64_t(y + 1) * sh / height));
        std::fill(sums.begin(), sums.end(), 0ull);
        std::fill(counts.begin(), counts.end(), 0u);
        for (std::int32_t sy = y0; sy < y1; ++sy) {
            codec::rowToRgb(source, sy, rgb.data());
            for (std::int32_t x = 0; x < width; ++x) {
                const std::int32_t x0 = std::int32_t(std::int64_t(x) * sw / width);
                const std::int32_t x1 =
                    std::max(x0 + 1, std::int32_t(std::int64_t(x + 1) * sw / width));
                for (std::int32_t sx = x0; sx < x1; ++sx) {
                    for (int c = 0; c < 3; ++c) {
                        sums[std::size_t(3 * x + c)] += rgb[std::size_t(3 * sx + c)];
                    }
                    ++counts[std::size_t(x)];
                }
            }
        }
        std::uint8_t* row = codec::rowAt(*out, y);
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint32_t n = counts[std::size_t(x)];
            row[x] = halftoneIndex(int(sums[std::size_t(3 * x)] / n),
                                   int(sums[std::size_t(3 * x + 1)] / n),
                                   int(sums[std::size_t(3 * x + 2)] / n), kBayer[y & 7][x & 7]);
        }
    }
}

void DIBHalftoneDIB(dib* out, const dib& source) {
    DIBHalftoneDIBXY(out, source, DIBWidth(source), DIBHeight(source));
}

} // namespace grafikrw3
