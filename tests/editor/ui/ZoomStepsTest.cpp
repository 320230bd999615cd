#include "editor/ui/ZoomSteps.h"

#include <gtest/gtest.h>

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
