// The flood fill's painting: solid colour, tiled pattern and four gradients over the area
// fillRegion finds.
#include "grafikrw3.h"

#include "PixelRows.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <utility>

namespace grafikrw3 {

namespace {

// Where a gradient runs: its direction as a step in x and y. Colour 1 lies on the side the
// direction comes from (NW-SE: the north-west corner), colour 2 on the side it goes to.
constexpr int kStepX[8] = {1, 0, -1, -1, -1, 0, 1, 1};
constexpr int kStepY[8] = {1, 1, 1, 0, -1, -1, -1, 0};

// Thresholds of an 8 x 8 ordered dither, 0 ... 63.
constexpr std::uint8_t kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21},
};

// A share of colour 2 between 0 and 1 as num / den (den > 0), kept exact where the shape
// allows, so that a gradient and its reverse with swapped colours give the same pixels.
struct Share {
    std::int64_t num = 0;
    std::int64_t den = 1;
};

constexpr std::int64_t kFineDen = 1 << 16;

Share fineShare(double t) {
    return {std::llround(std::clamp(t, 0.0, 1.0) * double(kFineDen)), kFineDen};
}

// The area's box (pixels) and the gradient's direction. Positions along an axis are compared in
// doubled units, so that the box's middle is a whole number.
struct Geometry {
    std::int64_t left, top, right, bottom;
    int stepX, stepY;

    std::int64_t width() const { return right - left; }
    std::int64_t height() const { return bottom - top; }
    // Doubled coordinate of colour 1's side on each axis (the middle when the axis is not run).
    std::int64_t startX() const {
        return stepX > 0 ? 2 * left : stepX < 0 ? 2 * right : left + right;
    }
    std::int64_t startY() const {
        return stepY > 0 ? 2 * top : stepY < 0 ? 2 * bottom : top + bottom;
    }
};

// Linear: the projection onto the direction, 0 on colour 1's edge or corner, 1 on the opposite.
Share linearShare(const Geometry& g, std::int64_t x, std::int64_t y) {
    const std::int64_t w = g.width(), h = g.height();
    const std::int64_t den = 2 * (g.stepX * g.stepX * w * w + g.stepY * g.stepY * h * h);
    if (den == 0) {
        return {};
    }
    const std::int64_t num =
        (2 * x - g.startX()) * g.stepX * w + (2 * y - g.startY()) * g.stepY * h;
    return {std::clamp<std::int64_t>(num, 0, den), den};
}

// Rectangular: concentric rectangles around colour 1's corner, edge middle or centre.
Share rectangularShare(const Geometry& g, std::int64_t x, std::int64_t y) {
    const std::int64_t sx = g.startX(), sy = g.startY();
    const std::int64_t ex = std::max(std::llabs(2 * g.left - sx), std::llabs(2 * g.right - sx));
    const std::int64_t ey = std::max(std::llabs(2 * g.top - sy), std::llabs(2 * g.bottom - sy));
    const Share a = ex ? Share{std::llabs(2 * x - sx), ex} : Share{};
    const Share b = ey ? Share{std::llabs(2 * y - sy), ey} : Share{};
    return a.num * b.den >= b.num * a.den ? a : b;
}

// Sunburst: circles around colour 1's corner, edge middle or centre, reaching colour 2 at the
// farthest corner.
Share sunburstShare(const Geometry& g, std::int64_t x, std::int64_t y) {
    const double sx = double(g.startX()), sy = double(g.startY());
    const double fx = std::max(std::abs(2.0 * g.left - sx), std::abs(2.0 * g.right - sx));
    const double fy = std::max(std::abs(2.0 * g.top - sy), std::abs(2.0 * g.bottom - sy));
    const double reach = std::hypot(fx, fy);
    return reach > 0 ? fineShare(std::hypot(2.0 * x - sx, 2.0 * y - sy) / reach) : Share{};
}

// Radial: rays from the centre; colour 1 along the ray towards its side, colour 2 along the
// opposite ray, both halves turning evenly between them (no seam). The box counts as square,
// so that the diagonal directions point at its corners.
Share radialShare(const Geometry& g, std::int64_t x, std::int64_t y) {
    const double w = double(std::max<std::int64_t>(g.width(), 1));
    const double h = double(std::max<std::int64_t>(g.height(), 1));
    const double u = double(2 * x - (g.left + g.right)) / w;
    const double v = double(2 * y - (g.top + g.bottom)) / h;
    if (u == 0 && v == 0) {
        return {};
    }
    double turn = std::abs(std::atan2(v, u) - std::atan2(double(-g.stepY), double(-g.stepX)));
    if (turn > std::numbers::pi) {
        turn = 2 * std::numbers::pi - turn;
    }
    return fineShare(turn / std::numbers::pi);
}

using ShareAt = Share (*)(const Geometry&, std::int64_t, std::int64_t);

ShareAt shapeOf(std::int32_t style) {
    switch (style) {
    case kFillRectangular:
        return rectangularShare;
    case kFillSunburst:
        return sunburstShare;
    case kFillRadial:
        return radialShare;
    default:
        return linearShare;
    }
}

// Calls paint(row, first, last) for every run of area pixels of each row within the bounds.
template <typename PaintRun>
void forEachRun(dib& picture, const dib& work, const FillBounds& area, PaintRun&& paint) {
    for (std::int32_t y = area.top; y <= area.bottom; ++y) {
        const std::uint8_t* filled = rowAt(work, y);
        std::uint8_t* pixels = rowAt(picture, y);
        std::int32_t x = area.left;
        while (x <= area.right) {
            // Skip pixels outside the area a byte at a time where possible.
            if ((x & 7) == 0 && filled[x >> 3] == 0) {
                x += 8;
                continue;
            }
            if (!((filled[x >> 3] >> (7 - (x & 7))) & 1u)) {
                ++x;
                continue;
            }
            std::int32_t last = x;
            while (last < area.right) {
                const std::int32_t next = last + 1;
                if ((next & 7) == 0 && next + 7 <= area.right && filled[next >> 3] == 0xff) {
                    last = next + 7;
                } else if ((filled[next >> 3] >> (7 - (next & 7))) & 1u) {
                    last = next;
                } else {
                    break;
                }
            }
            paint(y, pixels, x, last);
            x = last + 1;
        }
    }
}

void paintSolid(dib& picture, const dib& work, const FillBounds& area, std::uint32_t color) {
    forDepth(DIBBitCount(picture), [&](auto format) {
        using Format = decltype(format);
        forEachRun(picture, work, area,
                   [&](std::int32_t, std::uint8_t* row, std::int32_t first, std::int32_t last) {
                       if constexpr (Format::bits == 24) {
                           std::uint8_t* p = row + std::int64_t(first) * 3;
                           const std::uint8_t b = std::uint8_t(color >> 16);
                           const std::uint8_t g = std::uint8_t(color >> 8);
                           const std::uint8_t r = std::uint8_t(color);
                           for (std::int32_t x = first; x <= last; ++x, p += 3) {
                               p[0] = b;
                               p[1] = g;
                               p[2] = r;
                           }
                       } else if constexpr (Format::bits == 8) {
                           std::fill(row + first, row + last + 1, std::uint8_t(color));
                       } else {
                           for (std::int32_t x = first; x <= last; ++x) {
                               Format::put(row, x, color);
                           }
                       }
                   });
    });
}

// The pattern repeats from the picture's top-left corner, so that fills of neighbouring areas
// join without a seam.
void paintPattern(dib& picture, const dib& work, const FillBounds& area, const dib& pattern) {
    const std::int32_t pw = DIBWidth(pattern), ph = DIBHeight(pattern);
    forDepth(DIBBitCount(picture), [&](auto format) {
        using Format = decltype(format);
        forEachRun(picture, work, area,
                   [&](std::int32_t y, std::uint8_t* row, std::int32_t first, std::int32_t last) {
                       const std::uint8_t* from = rowAt(pattern, y % ph);
                       for (std::int32_t x = first; x <= last; ++x) {
                           Format::put(row, x, Format::get(from, x % pw));
                       }
                   });
    });
}

void paintGradient(dib& picture, const dib& work, const FillBounds& area, std::uint32_t color1,
                   std::uint32_t color2, std::int32_t style, std::int32_t direction) {
    const Geometry g{area.left,   area.top,          area.right,
                     area.bottom, kStepX[direction], kStepY[direction]};
    const ShareAt shareAt = shapeOf(style);
    forDepth(DIBBitCount(picture), [&](auto format) {
        using Format = decltype(format);
        forEachRun(picture, work, area,
                   [&](std::int32_t y, std::uint8_t* row, std::int32_t first, std::int32_t last) {
                       for (std::int32_t x = first; x <= last; ++x) {
                           const Share s = shareAt(g, x, y);
                           if constexpr (Format::bits == 24) {
                               // Each channel weighted exactly, rounded half up.
                               auto mix = [&](int shift) {
                                   const std::int64_t a = (color1 >> shift) & 0xff;
                                   const std::int64_t b = (color2 >> shift) & 0xff;
                                   return std::uint32_t(
                                       (a * (s.den - s.num) + b * s.num + s.den / 2) / s.den);
                               };
                               Format::put(row, x, mix(0) | mix(8) << 8 | mix(16) << 16);
                           } else {
                               // Palette pictures show the share by ordered dithering of the two
                               // colours, which works at every depth and with any palette.
                               const std::int64_t threshold = 2 * kBayer[y & 7][x & 7] + 1;
                               Format::put(row, x,
                                           128 * s.num > threshold * s.den ? color2 : color1);
                           }
                       }
                   });
    });
}

} // namespace

bool filldib(dib& picture, std::int32_t x, std::int32_t y, std::uint32_t color1,
             std::uint32_t color2, std::int32_t tolerance, const dib& mask, std::int32_t maskSwitch,
             dib& work, std::int32_t style, std::int32_t direction, const dib& pattern) {
    if (style == kFillPattern && (!pattern.poi || DIBBitCount(pattern) != DIBBitCount(picture))) {
        return false;
    }
    FillBounds area;
    if (!fillRegion(picture, x, y, tolerance, maskSwitch == 1 ? &mask : nullptr, work, &area)) {
        return false;
    }
    if (area.right < area.left) {
        return true;
    }
    switch (style) {
    case kFillPattern:
        paintPattern(picture, work, area, pattern);
        break;
    case kFillLinear:
    case kFillRectangular:
    case kFillSunburst:
    case kFillRadial:
        paintGradient(picture, work, area, color1, color2, style,
                      direction >= 0 && direction < 8 ? direction : 0);
        break;
    default:
        paintSolid(picture, work, area, color1);
        break;
    }
    return true;
}

} // namespace grafikrw3
