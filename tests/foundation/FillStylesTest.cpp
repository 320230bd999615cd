#include "Pictures.h"

#include "foundation/DibCopy.h"

#include <gtest/gtest.h>

#include <QPoint>

#include <tuple>

using namespace grafikrw3;

namespace {

OwnedDib copyOf(const dib& d) {
    return OwnedDib(copyDib(d));
}

OwnedDib blank(int width, int height, int bits) {
    OwnedDib d;
    newdib(&d.get(), width, height, bits, nullptr, 0);
    return d;
}

// A ring of colour 0 (value 0) on a ground of value 1 (1-bit), a mid grey or 0x808080: a fill
// inside the ring reaches its disc only.
OwnedDib ringPicture(int width, int height, int bits) {
    OwnedDib d = blank(width, height, bits);
    const std::uint32_t ground = bits == 24 ? 0x808080u : 1u;
    recht_filled(d.get(), 0, 0, width - 1, height - 1, ground);
    ellipse(d.get(), 1, 1, width - 2, height - 2, 0);
    return d;
}

OwnedDib areaOf(const dib& picture, int x, int y, const dib* limit) {
    OwnedDib work = blank(DIBWidth(picture), DIBHeight(picture), 1);
    EXPECT_TRUE(fillRegion(picture, x, y, 0, limit, work.get()));
    return work;
}

class FillStyles : public ::testing::TestWithParam<std::tuple<int, int>> {};

// Every style and direction inside a ring, limited by a mask: only the area changes, solid
// and gradients use only colours between the two (palette pictures one of the two indexes),
// the pattern repeats from the picture's corner.
TEST_P(FillStyles, EveryStyleAndDirectionPaintsOnlyTheAreaBetweenItsColours) {
    const auto [bits, width] = GetParam();
    const int height = 11;
    const OwnedDib original = ringPicture(width, height, bits);
    OwnedDib limit = blank(width, height, 1);
    recht_filled(limit.get(), 0, 0, width - 1, height / 2, 1);
    const std::uint32_t c1 = bits == 24 ? 0x10f040u : 1u;
    const std::uint32_t c2 = bits == 24 ? 0xe02090u : maskFor(bits) / 2;
    const int seedX = width / 2, seedY = height / 2 - 1;
    OwnedDib pattern = patternPicture(3, 2, bits);

    for (const dib* mask : {static_cast<const dib*>(nullptr), &std::as_const(limit.get())}) {
        const OwnedDib area = areaOf(original.get(), seedX, seedY, mask);
        for (int style = 0; style < 6; ++style) {
            for (int direction = 0; direction < 8; ++direction) {
                OwnedDib picture = copyOf(original.get());
                OwnedDib work = blank(width, height, 1);
                ASSERT_TRUE(filldib(picture.get(), seedX, seedY, c1, c2, 0, mask ? *mask : dib{},
                                    mask ? 1 : 0, work.get(), style, direction, pattern.get()));
                ASSERT_EQ(pixelBytes(work.get()), pixelBytes(area.get()));
                for (int y = 0; y < height; ++y) {
                    for (int x = 0; x < width; ++x) {
                        const std::uint32_t v = getpixel(picture.get(), x, y);
                        const auto where = ::testing::Message()
                                           << "style " << style << " dir " << direction << " at "
                                           << x << "," << y;
                        if (!getpixel(area.get(), x, y)) {
                            ASSERT_EQ(v, getpixel(original.get(), x, y)) << where;
                        } else if (style == kFillSolid) {
                            ASSERT_EQ(v, c1) << where;
                        } else if (style == kFillPattern) {
                            ASSERT_EQ(v, getpixel(pattern.get(), x % 3, y % 2)) << where;
                        } else if (bits != 24) {
                            ASSERT_TRUE(v == c1 || v == c2) << where;
                        } else {
                            for (const int shift : {0, 8, 16}) {
                                const int a = int(c1 >> shift & 0xff), b = int(c2 >> shift & 0xff);
                                const int c = int(v >> shift & 0xff);
                                ASSERT_GE(c, std::min(a, b)) << where;
                                ASSERT_LE(c, std::max(a, b)) << where;
                            }
                        }
                    }
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(DepthsAndWidths, FillStyles,
                         ::testing::Combine(::testing::ValuesIn(kAllDepths),
                                            ::testing::Values(5, 8, 9, 31, 33)));

std::uint32_t channel(std::uint32_t v, int shift) {
    return v >> shift & 0xff;
}

// Gradients on a whole 24-bit picture of 21 x 13: colour 1 where each shape says it starts,
// colour 2 at its far end, and the linear gradient reversed with swapped colours is the same.
TEST(FillGradients, StartAndEndOfEveryShapeInEveryDirection) {
    constexpr int w = 21, h = 13;
    const std::uint32_t c1 = 0x00ff00, c2 = 0xff00ff;
    auto fill = [&](int style, int direction, std::uint32_t a, std::uint32_t b) {
        OwnedDib picture = blank(w, h, 24);
        OwnedDib work = blank(w, h, 1);
        EXPECT_TRUE(
            filldib(picture.get(), 0, 0, a, b, 0, dib{}, 0, work.get(), style, direction, dib{}));
        return picture;
    };
    // Colour 1's corner or edge middle, and the point opposite it, per direction.
    const QPoint start[8] = {{0, 0},         {w / 2, 0},     {w - 1, 0}, {w - 1, h / 2},
                             {w - 1, h - 1}, {w / 2, h - 1}, {0, h - 1}, {0, h / 2}};
    for (int d = 0; d < 8; ++d) {
        const QPoint s = start[d], e = start[(d + 4) % 8];
        const OwnedDib linear = fill(kFillLinear, d, c1, c2);
        EXPECT_EQ(getpixel(linear.get(), s.x(), s.y()), c1) << d;
        EXPECT_EQ(getpixel(linear.get(), e.x(), e.y()), c2) << d;
        EXPECT_EQ(pixelBytes(linear.get()),
                  pixelBytes(fill(kFillLinear, (d + 4) % 8, c2, c1).get()))
            << d;
        // Along the direction the green falls and the red rises step by step.
        const int steps = 6;
        std::uint32_t previous = c1;
        for (int k = 1; k <= steps; ++k) {
            const QPoint p = s + (e - s) * k / steps;
            const std::uint32_t v = getpixel(linear.get(), p.x(), p.y());
            EXPECT_LE(channel(v, 8), channel(previous, 8)) << d << " step " << k;
            EXPECT_GE(channel(v, 0), channel(previous, 0)) << d << " step " << k;
            previous = v;
        }

        const OwnedDib rectangular = fill(kFillRectangular, d, c1, c2);
        const OwnedDib sunburst = fill(kFillSunburst, d, c1, c2);
        EXPECT_EQ(getpixel(rectangular.get(), s.x(), s.y()), c1) << d;
        EXPECT_EQ(getpixel(sunburst.get(), s.x(), s.y()), c1) << d;
        // The corners farthest from colour 1's point.
        const int fx = s.x() == 0 ? w - 1 : 0, fy = s.y() == 0 ? h - 1 : 0;
        EXPECT_EQ(getpixel(rectangular.get(), fx, fy), c2) << d;
        EXPECT_EQ(getpixel(sunburst.get(), fx, fy), c2) << d;

        // Radial: colour 1 on the ray from the centre towards colour 1's side, colour 2 opposite.
        const OwnedDib radial = fill(kFillRadial, d, c1, c2);
        EXPECT_EQ(getpixel(radial.get(), s.x(), s.y()), c1) << d;
        EXPECT_EQ(getpixel(radial.get(), e.x(), e.y()), c2) << d;
    }
}

// A palette gradient dithers the two indexes: the share of colour 2 grows from block to block
// of 8 columns (one turn of the dither) and is half over the whole picture.
TEST(FillGradients, PaletteGradientsDitherTheirShare) {
    constexpr int w = 64, h = 16;
    OwnedDib picture = blank(w, h, 1);
    OwnedDib work = blank(w, h, 1);
    ASSERT_TRUE(filldib(picture.get(), 3, 3, 0, 1, 0, dib{}, 0, work.get(), kFillLinear, 7, dib{}));
    int previous = -1, total = 0;
    for (int block = 0; block < w / 8; ++block) {
        int ones = 0;
        for (int x = 8 * block; x < 8 * block + 8; ++x) {
            for (int y = 0; y < h; ++y) {
                ones += int(getpixel(picture.get(), x, y));
            }
        }
        EXPECT_GT(ones, previous) << block;
        previous = ones;
        total += ones;
    }
    EXPECT_NEAR(total, w * h / 2, 8);
    EXPECT_EQ(getpixel(picture.get(), 0, 0), 0u);
    EXPECT_EQ(getpixel(picture.get(), w - 1, h - 1), 1u);
}

TEST(FillPattern, RefusedWithoutAPatternOfThePicturesDepth) {
    OwnedDib picture = patternPicture(6, 4, 8);
    const OwnedDib before = copyOf(picture.get());
    OwnedDib work = blank(6, 4, 1);
    OwnedDib wrongDepth = patternPicture(2, 2, 24);
    EXPECT_FALSE(filldib(picture.get(), 1, 1, 3, 4, 255, dib{}, 0, work.get(), kFillPattern, 0,
                         wrongDepth.get()));
    EXPECT_FALSE(
        filldib(picture.get(), 1, 1, 3, 4, 255, dib{}, 0, work.get(), kFillPattern, 0, dib{}));
    EXPECT_EQ(pixelBytes(picture.get()), pixelBytes(before.get()));
}

} // namespace
