#include "editor/ui/EditorIcons.h"
#include "editor/ui/ToolCursors.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

constexpr qreal kRatios[] = {1.0, 2.0};

QImage deviceImage(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(ToolCursors, EachAimsWithADarkPixelInAWhiteRimAndItsArmsAreCrispAtBothRatios) {
    for (int k = 1; k <= kToolCursorCount; ++k) {
        const auto kind = ToolCursor(k);
        const QPoint spot = toolcursors::hotSpot(kind);
        for (qreal dpr : kRatios) {
            SCOPED_TRACE(testing::Message() << "cursor " << k << " at " << dpr << "x");
            const QPixmap pixmap = toolcursors::cursorPixmap(kind, dpr);
            ASSERT_EQ(pixmap.deviceIndependentSize(), QSizeF(32, 32));
            const QCursor cursor = toolcursors::cursor(kind, dpr);
            EXPECT_EQ(cursor.hotSpot(), spot);
            const QImage image = deviceImage(pixmap);
            const int d = int(dpr);
            // Every device pixel of the hot spot is solid black ...
            for (int y = spot.y() * d; y < (spot.y() + 1) * d; ++y) {
                for (int x = spot.x() * d; x < (spot.x() + 1) * d; ++x) {
                    EXPECT_EQ(image.pixel(x, y), qRgba(0, 0, 0, 255)) << x << "," << y;
                }
            }
            if (kind == ToolCursor::Lupe) {
                continue; // the lens is round; it aims with the cross inside
            }
            if (kind != ToolCursor::Drag) {
                // A cross hair's dot sits in solid white, so that it shows on black too.
                EXPECT_EQ(image.pixel((spot.x() - 1) * d, spot.y() * d), qRgba(255, 255, 255, 255));
                EXPECT_EQ(image.pixel(spot.x() * d, (spot.y() + 1) * d + d - 1),
                          qRgba(255, 255, 255, 255));
            }
            // The row and column through the hot spot hold no half-covered pixels.
            for (int i = 0; i < image.width(); ++i) {
                const int across = qAlpha(image.pixel(i, spot.y() * d));
                const int down = qAlpha(image.pixel(spot.x() * d, i));
                if (kind == ToolCursor::Drag && (i < 6 * d || i >= 26 * d)) {
                    continue; // arrow heads
                }
                EXPECT_TRUE(across == 0 || across == 255) << "x " << i;
                EXPECT_TRUE(down == 0 || down == 255) << "y " << i;
            }
        }
    }
}

TEST(ToolCursors, SelectionToolsOfferToMoveOnlyWithoutModifiers) {
    const struct {
        Tool tool;
        ToolCursor plain, plus, minus;
    } tools[] = {
        {Tool::Select, ToolCursor::GeoSel, ToolCursor::GeoSelPlus, ToolCursor::GeoSelMinus},
        {Tool::FreeSel, ToolCursor::FreeSel, ToolCursor::FreeSelPlus, ToolCursor::FreeSelMinus},
        {Tool::Magic, ToolCursor::MagicWand, ToolCursor::MagicWandPlus, ToolCursor::MagicWandMinus},
    };
    for (const auto& t : tools) {
        for (bool over : {false, true}) {
            EXPECT_EQ(cursorFor(t.tool, false, false, over), over ? ToolCursor::Drag : t.plain);
            EXPECT_EQ(cursorFor(t.tool, true, false, over), t.plus);
            EXPECT_EQ(cursorFor(t.tool, true, true, over), t.plus);
            EXPECT_EQ(cursorFor(t.tool, false, true, over), t.minus);
        }
    }
    EXPECT_EQ(cursorFor(Tool::Retouch, true, true, true), ToolCursor::Brush);
}

TEST(EditorIcons, FourteenDistinctToolPicturesAndEightStandardOnesAtBothRatios) {
    for (qreal dpr : kRatios) {
        std::vector<QImage> seen;
        auto check = [&seen, dpr](const QPixmap& pixmap, int index) {
            EXPECT_EQ(pixmap.deviceIndependentSize(), QSizeF(16, 16)) << index;
            const QImage image = deviceImage(pixmap);
            EXPECT_EQ(image.width(), int(16 * dpr));
            int covered = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    covered += qAlpha(image.pixel(x, y)) >= 128;
                }
            }
            EXPECT_GT(covered, image.width() * 2) << "picture " << index << " nearly empty";
            for (const QImage& other : seen) {
                EXPECT_NE(image, other) << "picture " << index << " repeats another";
            }
            seen.push_back(image);
        };
        for (int i = 0; i < kToolCount; ++i) {
            check(editoricons::toolPixmap(Tool(i), 16, dpr), i);
        }
        for (int i = 0; i < 8; ++i) {
            check(editoricons::standardPixmap(editoricons::Standard(i), 16, dpr), 100 + i);
        }
    }
}
