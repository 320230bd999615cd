#include "Pictures.h"

#include "imageops/Masks.h"

#include <gtest/gtest.h>

using namespace grafikrw3;
using imageops::Point;

namespace {

// Even-odd test of the pixel centre against the closed polygon, plus the outline's lines.
OwnedDib referencePolygon(int width, int height, const std::vector<Point>& points) {
    OwnedDib out;
    newdib(&out.get(), width, height, 1, nullptr, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            bool inside = false;
            for (std::size_t i = 0; i < points.size(); ++i) {
                const Point a = points[i], b = points[(i + 1) % points.size()];
                if ((a.y > py) != (b.y > py) &&
                    px < a.x + (py - a.y) * double(b.x - a.x) / double(b.y - a.y)) {
                    inside = !inside;
                }
            }
            setpixel(out.get(), x, y, inside ? 1 : 0);
        }
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Point a = points[i], b = points[(i + 1) % points.size()];
        line(out.get(), a.x, a.y, b.x, b.y, 1);
    }
    return out;
}

TEST(Masks, PolygonsFillByTheEvenOddRuleWithTheirOutline) {
    const std::vector<std::vector<Point>> polygons = {
        {{2, 1}, {20, 4}, {7, 12}},                     // triangle
        {{1, 1}, {30, 1}, {30, 12}, {16, 4}, {1, 12}},  // concave
        {{15, -3}, {19, 14}, {2, 3}, {29, 3}, {8, 15}}, // star, partly outside
        {{-10, -10}, {50, -10}, {50, 30}, {-10, 30}},   // covers everything
        {{4, 4}},                                       // a single point
        {{3, 9}, {25, 2}},                              // a line there and back
    };
    for (const int width : {9, 33}) {
        for (const auto& polygon : polygons) {
            OwnedDib mask;
            newdib(&mask.get(), width, 14, 1, nullptr, 0);
            imageops::fillPolygon(mask.get(), polygon, 1);
            const OwnedDib expected = referencePolygon(width, 14, polygon);
            EXPECT_EQ(pixelValues(mask.get()), pixelValues(expected.get()))
                << "width " << width << ", polygon of " << polygon.size();
        }
    }
}

TEST(Masks, WholeMaskOperations) {
    OwnedDib mask;
    newdib(&mask.get(), 9, 3, 1, nullptr, 0);
    EXPECT_FALSE(imageops::maskHasAny(mask.get()));
    // Bits beyond the width do not count as selected.
    mask->poi[1] = 0x7f;
    EXPECT_FALSE(imageops::maskHasAny(mask.get()));
    imageops::invertMask(mask.get());
    EXPECT_EQ(mask->poi[0], 0xff);
    EXPECT_EQ(mask->poi[1], 0x80);
    EXPECT_EQ(mask->poi[2], 0xff) << "padding bits are complemented too";
    EXPECT_TRUE(imageops::maskHasAny(mask.get()));

    OwnedDib area;
    newdib(&area.get(), 9, 3, 1, nullptr, 0);
    setpixel(area.get(), 8, 0, 1);
    setpixel(area.get(), 0, 2, 1);
    imageops::fillMask(mask.get(), false);
    imageops::combineMask(mask.get(), area.get(), true);
    EXPECT_EQ(pixelBytes(mask.get()), pixelBytes(area.get()));
    imageops::fillMask(mask.get(), true);
    imageops::combineMask(mask.get(), area.get(), false);
    EXPECT_EQ(getpixel(mask.get(), 8, 0), 0u);
    EXPECT_EQ(getpixel(mask.get(), 0, 2), 0u);
    EXPECT_EQ(getpixel(mask.get(), 1, 2), 1u);
}

} // namespace
