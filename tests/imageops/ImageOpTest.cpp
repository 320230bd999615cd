#include "Pictures.h"

#include "imageops/ImageOp.h"

#include <gtest/gtest.h>

namespace {

TEST(ImageOp, RowPercentNeverDividesByZero) {
    EXPECT_EQ(imageops::rowPercent(0, 1), 100);
    EXPECT_EQ(imageops::rowPercent(0, 3), 0);
    EXPECT_EQ(imageops::rowPercent(1, 3), 50);
    EXPECT_EQ(imageops::rowPercent(2, 3), 100);
    EXPECT_EQ(imageops::rowPercent(1, 4), 33);
}

TEST(ImageOp, SelectionLimitsToMaskBitsInsideThePicture) {
    OwnedDib mask;
    grafikrw3::newdib(&mask.get(), 9, 2, 1, nullptr, 0);
    grafikrw3::setpixel(mask.get(), 8, 1, 1);

    const imageops::Selection inactive(&mask.get(), false);
    EXPECT_FALSE(inactive.active());
    EXPECT_TRUE(inactive.contains(0, 0));

    const imageops::Selection active(&mask.get(), true);
    EXPECT_TRUE(active.contains(8, 1));
    EXPECT_FALSE(active.contains(7, 1));
    EXPECT_FALSE(active.contains(9, 1));
    EXPECT_FALSE(active.contains(8, -1));
    EXPECT_TRUE(imageops::Selection::contains(active.row(1), 8));
    EXPECT_FALSE(imageops::Selection::contains(active.row(0), 8));
}

} // namespace
