#include "Pictures.h"

#include "foundation/DibCopy.h"
#include "foundation/grafikrw3/ScreenEllipse.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <tuple>

using namespace grafikrw3;

namespace {

// Red, green, blue of a pixel value, through the colour table for palette pictures.
std::array<int, 3> channels(const dib& d, std::uint32_t v) {
    if (DIBBitCount(d) == 24) {
        return {int(v & 0xff), int((v >> 8) & 0xff), int((v >> 16) & 0xff)};
    }
    const RGBQUAD& c = d.pmi->colors()[v];
    return {c.rgbRed, c.rgbGreen, c.rgbBlue};
}

// Breadth-first flood over getpixel: the area a fill from (x, y) must reach.
OwnedDib referenceArea(const dib& d, int x, int y, int tolerance, const dib* limit) {
    OwnedDib area;
    newdib(&area.get(), DIBWidth(d), DIBHeight(d), 1, nullptr, 0);
    const auto start = channels(d, getpixel(d, x, y));
    auto inside = [&](int px, int py) {
        if (px < 0 || py < 0 || px >= DIBWidth(d) || py >= DIBHeight(d)) {
            return false;
        }
        if (limit && !getpixel(*limit, px, py)) {
            return false;
        }
        const auto c = channels(d, getpixel(d, px, py));
        for (int i = 0; i < 3; ++i) {
            if (std::abs(c[std::size_t(i)] - start[std::size_t(i)]) > tolerance) {
                return false;
            }
        }
        return true;
    };
    std::deque<std::pair<int, int>> queue;
    if (inside(x, y)) {
        queue.emplace_back(x, y);
        setpixel(area.get(), x, y, 1);
    }
    while (!queue.empty()) {
        const auto [px, py] = queue.front();
        queue.pop_front();
        for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            if (inside(px + dx, py + dy) && !getpixel(area.get(), px + dx, py + dy)) {
                setpixel(area.get(), px + dx, py + dy, 1);
                queue.emplace_back(px + dx, py + dy);
            }
        }
    }
    return area;
}

// Pictures of blotches: the pattern at a coarse grid, so that areas of equal colour join up.
OwnedDib blotches(int width, int height, int bits) {
    OwnedDib d;
    newdib(&d.get(), width, height, bits, nullptr, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            setpixel(d.get(), x, y,
                     patternValue(x / 3, y / 2, bits) & (bits == 24 ? 0xe0e0e0 : ~0u));
        }
    }
    return d;
}

class FloodFill : public ::testing::TestWithParam<std::tuple<int, int>> {};

// Every few pixels a seed; with and without a limiting mask; the work picture must hold exactly
// the reference area and the picture must change exactly there.
TEST_P(FloodFill, FillsExactlyTheConnectedAreaWithinTheTolerance) {
    const auto [bits, width] = GetParam();
    const int height = 7;
    const OwnedDib original = blotches(width, height, bits);
    OwnedDib limit = patternPicture(width, height, 1);
    const std::uint32_t fill = bits == 24 ? 0x123456u : 1u;
    for (const int tolerance : {0, 40, 255}) {
        for (const dib* mask : std::initializer_list<const dib*>{nullptr, &limit.get()}) {
            for (int seed = 0; seed < width * height; seed += 5) {
                const int x = seed % width, y = seed / width;
                OwnedDib picture(copyDib(original.get()));
                OwnedDib work;
                newdib(&work.get(), width, height, 1, nullptr, 0);
                std::memset(work->poi, 0xa5, std::size_t(work->bytew) * height);
                ASSERT_TRUE(filldib(picture.get(), x, y, fill, 0, tolerance, mask ? *mask : dib{},
                                    mask ? 1 : 0, work.get(), 0, 0, dib{}));
                const OwnedDib expected = referenceArea(original.get(), x, y, tolerance, mask);
                ASSERT_EQ(pixelBytes(work.get()), pixelBytes(expected.get()))
                    << "seed " << x << "," << y << " tolerance " << tolerance;
                OwnedDib painted(copyDib(original.get()));
                for (int py = 0; py < height; ++py) {
                    for (int px = 0; px < width; ++px) {
                        if (getpixel(expected.get(), px, py)) {
                            setpixel(painted.get(), px, py, fill);
                        }
                    }
                }
                ASSERT_EQ(pixelBytes(picture.get()), pixelBytes(painted.get()));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(DepthsAndWidths, FloodFill,
                         ::testing::Combine(::testing::ValuesIn(kAllDepths),
                                            ::testing::Values(1, 2, 7, 8, 9, 33, 63, 64, 65, 130)));

TEST(FloodFillArea, WindsThroughASpiralAndReportsItsBounds) {
    // A spiral corridor forces runs to be found again and again from above and below.
    OwnedDib maze;
    newdib(&maze.get(), 70, 40, 8, nullptr, 0);
    recht_filled(maze.get(), 0, 0, 69, 39, 200);
    for (int i = 0; i < 9; ++i) {
        rechteck(maze.get(), 2 * i + 1, 2 * i + 1, 68 - 2 * i, 38 - 2 * i, 0);
        setpixel(maze.get(), 2 * i + 1, 2 * i + 2, 200);
    }
    OwnedDib work;
    newdib(&work.get(), 70, 40, 1, nullptr, 0);
    FillBounds bounds;
    ASSERT_TRUE(fillRegion(maze.get(), 20, 20, 0, nullptr, work.get(), &bounds));
    const OwnedDib expected = referenceArea(maze.get(), 20, 20, 0, nullptr);
    EXPECT_EQ(pixelBytes(work.get()), pixelBytes(expected.get()));
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(bounds.right, 69);
    EXPECT_EQ(bounds.bottom, 39);
}

TEST(FloodFillArea, PaletteEntriesOfTheSameColourJoinAndBadArgumentsAreRefused) {
    OwnedDib picture;
    newdib(&picture.get(), 4, 1, 8, nullptr, 0);
    picture->pmi->colors()[7] = picture->pmi->colors()[9];
    setpixel(picture.get(), 0, 0, 9);
    setpixel(picture.get(), 1, 0, 7);
    setpixel(picture.get(), 2, 0, 8);
    setpixel(picture.get(), 3, 0, 9);
    OwnedDib work;
    newdib(&work.get(), 4, 1, 1, nullptr, 0);
    ASSERT_TRUE(fillRegion(picture.get(), 0, 0, 0, nullptr, work.get()));
    EXPECT_EQ(work->poi[0], 0xc0);

    FillBounds bounds{1, 2, 3, 4};
    ASSERT_TRUE(fillRegion(picture.get(), 4, 0, 0, nullptr, work.get(), &bounds));
    EXPECT_EQ(work->poi[0], 0x00) << "a seed outside the picture fills nothing";
    EXPECT_LT(bounds.right, bounds.left);

    OwnedDib tooSmall;
    newdib(&tooSmall.get(), 3, 1, 1, nullptr, 0);
    EXPECT_FALSE(fillRegion(picture.get(), 0, 0, 0, nullptr, tooSmall.get()));
    EXPECT_FALSE(filldib(picture.get(), 0, 0, 1, 0, 0, tooSmall.get(), 1, work.get(), 0, 0, dib{}));
}

// The preview ellipse covers the pixels of the picture ellipse, and an inverting pen drawn twice
// restores the view (no pixel is met twice).
TEST(ScreenEllipseTest, MatchesThePictureEllipseAndInvertsEachPixelOnce) {
    for (const auto& [x1, y1, x2, y2] :
         {std::tuple{2, 3, 30, 17}, {30, 17, 2, 3}, {5, 5, 6, 20}, {1, 8, 40, 8}, {9, 9, 9, 9}}) {
        QImage screen(48, 24, QImage::Format_RGB32);
        screen.fill(qRgb(10, 200, 30));
        const QImage before = screen;
        QPainter painter(&screen);
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.setPen(QPen(Qt::white, 0));
        ScreenEllipse(painter, x1, y1, x2, y2);
        painter.end();

        OwnedDib picture;
        newdib(&picture.get(), 48, 24, 8, nullptr, 0);
        ellipse(picture.get(), x1, y1, x2, y2, 1);
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 48; ++x) {
                const bool inverted = screen.pixel(x, y) != before.pixel(x, y);
                ASSERT_EQ(inverted, getpixel(picture.get(), x, y) == 1u) << x << "," << y;
            }
        }
        painter.begin(&screen);
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.setPen(QPen(Qt::white, 0));
        ScreenEllipse(painter, x1, y1, x2, y2);
        painter.end();
        EXPECT_EQ(screen, before);
    }
}

} // namespace
