#include "designer/StitchPalette.h"

#include "FileTestHelpers.h"
#include "Pictures.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

TEST(StitchPalette, RowsFollowTheCellSize) {
    EXPECT_EQ(StitchPalette::height(4, 24), 97);
    EXPECT_EQ(StitchPalette::indexAt(50, 24), 2); // the third stitch
    EXPECT_EQ(StitchPalette::clampSelection(7, 3), 2);
    EXPECT_EQ(StitchPalette::clampSelection(-1, 3), 0);
    EXPECT_EQ(StitchPalette::clampSelection(0, 0), 0);
}

TEST(StitchPalette, WideStitchHasAWideSymbolBoxAndItsNameBehindIt) {
    TStich s;
    s.breite = 3;
    s.di = makePatternPicture(300, 100, 24);
    const StitchPalette::RowGeometry g = StitchPalette::rowGeometry(s, 1, 24);
    EXPECT_EQ(g.box.left(), 4);
    EXPECT_EQ(g.box.right(), 76); // 72 pixels of symbol box
    EXPECT_EQ(g.box.top(), 24);
    EXPECT_EQ(g.nameX, 86);
    EXPECT_EQ(g.symbol.width(), 71);
    EXPECT_EQ(g.symbol.height(), 23);
    FreeDIB(s.di);
}

TEST(StitchPalette, SelectedStitchStandsOnADarkBar) {
    ChartDocument doc;
    for (int i = 0; i < 3; ++i) {
        dib picture;
        grafikrw3::newdib(&picture, 10, 10, 24, nullptr, 0);
        fillStitch(*doc.stiche.Add(), QStringLiteral("S%1").arg(i), 0, picture);
    }
    QImage image(200, StitchPalette::height(3, 24), QImage::Format_RGB32);
    QPainter painter(&image);
    StitchPalette::paint(painter, doc.stiche, 1, 24, 200, PageSettings::defaultFont(11, false), 96);
    painter.end();
    const QColor bar(93, 123, 153);
    EXPECT_EQ(image.pixelColor(150, 24 + 12), bar);
    EXPECT_EQ(image.pixelColor(150, 12), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(150, 48 + 12), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(2, 24 + 12), bar);
    EXPECT_EQ(doc.stiche[0].breite, 1); // width 0 is read as one cell and stored back
}
