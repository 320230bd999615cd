#include "Pictures.h"

#include <gtest/gtest.h>

#include <string>

using namespace grafikrw3;

namespace {

// Rows of '#' (value 1) and '.' (value 0) of an 8-bit picture.
std::string art(const dib& d) {
    std::string out;
    for (const auto& row : pixelValues(d)) {
        for (std::uint32_t v : row) {
            out += v ? '#' : '.';
        }
        out += '\n';
    }
    return out;
}

PictureOwner blank(int width, int height, int bits = 8) {
    dib d;
    newdib(&d, width, height, bits, nullptr, 0);
    return PictureOwner(d);
}

} // namespace

TEST(Shapes, LineIncludesBothEndsInEitherDirection) {
    auto a = blank(6, 4);
    line(a.picture, 0, 0, 5, 3, 1);
    EXPECT_EQ(art(a.picture), "#.....\n"
                              ".##...\n"
                              "...##.\n"
                              ".....#\n");
    auto b = blank(6, 4);
    line(b.picture, 5, 3, 0, 0, 1);
    EXPECT_EQ(getpixel(b.picture, 0, 0), 1u);
    EXPECT_EQ(getpixel(b.picture, 5, 3), 1u);
    auto c = blank(3, 5);
    line(c.picture, 1, 4, 1, 0, 1);
    EXPECT_EQ(art(c.picture), ".#.\n.#.\n.#.\n.#.\n.#.\n");
    auto point = blank(3, 3);
    line(point.picture, 1, 1, 1, 1, 1);
    EXPECT_EQ(art(point.picture), "...\n.#.\n...\n");
}

TEST(Shapes, LineLeavingThePictureIsClipped) {
    auto a = blank(4, 4);
    line(a.picture, -3, 1, 10, 1, 1);
    EXPECT_EQ(art(a.picture), "....\n####\n....\n....\n");
}

TEST(Shapes, RectanglesTakeCornersInAnyOrderOnEveryDepth) {
    for (int bits : kAllDepths) {
        const std::uint32_t value = maskFor(bits);
        auto outline = blank(9, 5, bits);
        rechteck(outline.picture, 7, 3, 1, 1, value);
        auto filled = blank(9, 5, bits);
        recht_filled(filled.picture, 1, 3, 7, 1, value);
        std::string o, f;
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 9; ++x) {
                o += getpixel(outline.picture, x, y) == value ? '#' : '.';
                f += getpixel(filled.picture, x, y) == value ? '#' : '.';
            }
            o += '\n';
            f += '\n';
        }
        EXPECT_EQ(o, ".........\n"
                     ".#######.\n"
                     ".#.....#.\n"
                     ".#######.\n"
                     ".........\n")
            << bits;
        EXPECT_EQ(f, ".........\n"
                     ".#######.\n"
                     ".#######.\n"
                     ".#######.\n"
                     ".........\n")
            << bits;
    }
}

TEST(Shapes, RectanglesReachingBeyondThePictureAreClipped) {
    auto outline = blank(4, 3);
    rechteck(outline.picture, -2, -2, 2, 1, 1);
    EXPECT_EQ(art(outline.picture), "..#.\n###.\n....\n");
    auto filled = blank(4, 3);
    recht_filled(filled.picture, 2, 1, 100, 100, 1);
    EXPECT_EQ(art(filled.picture), "....\n..##\n..##\n");
}

TEST(Shapes, EllipseInSmallRectangles) {
    auto circle = blank(7, 7);
    ellipse(circle.picture, 0, 0, 6, 6, 1);
    EXPECT_EQ(art(circle.picture), "..###..\n"
                                   ".#...#.\n"
                                   "#.....#\n"
                                   "#.....#\n"
                                   "#.....#\n"
                                   ".#...#.\n"
                                   "..###..\n");
    auto disc = blank(7, 7);
    FilledEllipse(disc.picture, 6, 6, 0, 0, 1);
    EXPECT_EQ(art(disc.picture), "..###..\n"
                                 ".#####.\n"
                                 "#######\n"
                                 "#######\n"
                                 "#######\n"
                                 ".#####.\n"
                                 "..###..\n");
    auto flat = blank(5, 1);
    ellipse(flat.picture, 0, 0, 4, 0, 1);
    EXPECT_EQ(art(flat.picture), "#####\n");
}

// Every ellipse up to 12 x 12, also with even sizes whose centre lies between pixels: it stays
// in its rectangle, touches all four sides, is mirror-symmetric, and the filled one is the
// outline with every row closed.
TEST(Shapes, EllipsesStayInTheirRectangleAndAreSymmetric) {
    for (int w = 1; w <= 12; ++w) {
        for (int h = 1; h <= 12; ++h) {
            auto o = blank(w + 4, h + 4);
            auto f = blank(w + 4, h + 4);
            ellipse(o.picture, 2, 2, w + 1, h + 1, 1);
            FilledEllipse(f.picture, w + 1, h + 1, 2, 2, 1);
            const auto outline = pixelValues(o.picture);
            const auto filled = pixelValues(f.picture);
            bool top = false, bottom = false, left = false, right = false;
            for (int y = 0; y < h + 4; ++y) {
                int first = -1, last = -1;
                for (int x = 0; x < w + 4; ++x) {
                    const bool in = x >= 2 && x <= w + 1 && y >= 2 && y <= h + 1;
                    const std::uint32_t ov = outline[std::size_t(y)][std::size_t(x)];
                    const std::uint32_t fv = filled[std::size_t(y)][std::size_t(x)];
                    ASSERT_TRUE(in || (ov == 0 && fv == 0)) << w << "x" << h;
                    ASSERT_TRUE(!ov || fv) << w << "x" << h << " outline outside fill";
                    ASSERT_EQ(ov, outline[std::size_t(y)][std::size_t(w + 3 - x)]) << w << "x" << h;
                    ASSERT_EQ(ov, outline[std::size_t(h + 3 - y)][std::size_t(x)]) << w << "x" << h;
                    top |= ov && y == 2;
                    bottom |= ov && y == h + 1;
                    left |= ov && x == 2;
                    right |= ov && x == w + 1;
                    if (ov) {
                        first = first < 0 ? x : first;
                        last = x;
                    }
                }
                for (int x = 0; x < w + 4; ++x) {
                    const bool between = first >= 0 && x >= first && x <= last;
                    ASSERT_EQ(filled[std::size_t(y)][std::size_t(x)], between ? 1u : 0u)
                        << w << "x" << h << " row " << y;
                }
            }
            EXPECT_TRUE(top && bottom && left && right) << w << "x" << h;
        }
    }
}

TEST(Shapes, PowerRaises) {
    EXPECT_DOUBLE_EQ(power(2.0, 10.0), 1024.0);
    EXPECT_DOUBLE_EQ(power(9.0, 0.5), 3.0);
}
