#include "editor/ui/ZoomSteps.h"

#include <gtest/gtest.h>

using zoomsteps::centredScrollPosition;
using zoomsteps::Zoom;

TEST(ZoomSteps, ThirtyOneEntriesFromSixteenToOneDownToOneToSixteen) {
    EXPECT_EQ(zoomsteps::entryText(0), QStringLiteral("16:1"));
    EXPECT_EQ(zoomsteps::entryText(14), QStringLiteral("2:1"));
    EXPECT_EQ(zoomsteps::entryText(15), QStringLiteral("1:1"));
    EXPECT_EQ(zoomsteps::entryText(16), QStringLiteral("1:2"));
    EXPECT_EQ(zoomsteps::entryText(30), QStringLiteral("1:16"));
    for (int entry = 0; entry < zoomsteps::kEntryCount; ++entry) {
        const Zoom zoom = zoomsteps::zoomForEntry(entry);
        EXPECT_TRUE(zoom.zin == 1 || zoom.zout == 1) << entry;
        EXPECT_EQ(zoomsteps::entryFor(zoom), entry);
    }
    EXPECT_EQ(zoomsteps::zoomForEntry(-3), (Zoom{16, 1}));
    EXPECT_EQ(zoomsteps::zoomForEntry(99), (Zoom{1, 16}));
}

TEST(ZoomSteps, TheViewKeepsItsCentreAndAWholeAxisCentresOnTheImage) {
    // A 100-pixel axis in a 344-pixel view is shown whole: its middle stays in the middle, and
    // at 2:1 (200 pixels) it still fits, so the view stays at the origin.
    EXPECT_EQ(centredScrollPosition(0, 344, 100, {1, 1}, {2, 1}), 0);
    // Zooming from 1:1 to 2:1 with the view on the lower right part of a 2000-pixel axis:
    // centre 1700 + 172 = 1872 stays in the middle (3744 - 172).
    EXPECT_EQ(centredScrollPosition(1700, 344, 2000, {1, 1}, {2, 1}), 3572);
    // And back: the centre at 3744 / 2 = 1872 again.
    EXPECT_EQ(centredScrollPosition(3572, 344, 2000, {2, 1}, {1, 1}), 1700);
    // Reduced: 1:4 of 4000 pixels is 1000; centre (100 + 150) * 4 = 1000 -> at 1:1, 850.
    EXPECT_EQ(centredScrollPosition(100, 300, 4000, {1, 4}, {1, 1}), 850);
    // Divisions truncate; positions never leave 0 .. zoomed size - 1.
    EXPECT_EQ(centredScrollPosition(0, 7, 33, {1, 3}, {16, 1}), 9 * 16 - 3);
    EXPECT_EQ(centredScrollPosition(0, 1000, 3, {16, 1}, {1, 16}), 0);
}
