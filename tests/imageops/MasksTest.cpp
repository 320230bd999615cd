#include "Pictures.h"
#include "PolygonReference.h"

#include "imageops/Masks.h"

#include <gtest/gtest.h>

#include <random>

using namespace grafikrw3;
using imageops::Point;

namespace {

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
    // Random polygons, crossing themselves and the picture's edges.
    std::mt19937 random(27);
    for (int round = 0; round < 300; ++round) {
        std::vector<Point> polygon(3 + random() % 10);
        for (Point& p : polygon) {
            p = {int(random() % 46) - 6, int(random() % 26) - 6};
        }
        OwnedDib mask;
        newdib(&mask.get(), 33, 14, 1, nullptr, 0);
        imageops::fillPolygon(mask.get(), polygon, 1);
        ASSERT_EQ(pixelValues(mask.get()), pixelValues(referencePolygon(33, 14, polygon).get()))
            << "round " << round;
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
