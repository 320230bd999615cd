#include "designer/ui/ProgramWindows.h"
#include "designer/ui/TMainForm.h"
#include "designer/ui/TSettingsTab.h"
#include "foundation/ui/TPaintBox.h"

#include "LibraryFile.h"
#include "Pictures.h"
#include "TestSupport.h"
#include "foundation/OwnedText.h"

#include <QAction>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QMenu>
#include <QScrollArea>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ChartView : public ::testing::Test {
protected:
    ProgramWindows windows;
    MessageCapture messages;

    void SetUp() override {
        writeEmptyLibrary();
        windows.create({QStringLiteral("tessaplan-designer")});
        TStich* s = main().doc.stiche.Add();
        s->bezeichnung = ownedTextFromString(QStringLiteral("Rechte Masche"));
        s->breite = 1;
        s->di = makePatternPicture(30, 30, 24);
        main().ZeigegesamteTabelle1->setChecked(true);
    }
    TMainForm& main() { return *windows.MainForm; }
    // Paints the view once, so that the cell rectangles are recorded.
    void paint() {
        main().PaintBox1Paint();
        main().PaintBox1->grab();
    }
    QPoint centreOf(int row, int column) {
        const CellRect& r = main().doc.cellAt(row, column).feldrect;
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
};

// Caption, shortcut and separator-after of every entry of a menu.
QStringList entries(const QMenu* menu) {
    QStringList out;
    for (const QAction* a : menu->actions()) {
        out << (a->isSeparator() ? QStringLiteral("-")
                                 : a->text() + QLatin1Char('|') + a->shortcut().toString());
    }
    return out;
}

} // namespace

TEST_F(ChartView, WholeTableViewIsSizedForTheChartAtScreenResolution) {
    paint();
    const int dpi = main().PaintBox1->logicalDpiX();
    ASSERT_EQ(dpi, 96) << "the offscreen screen is expected at 96 dpi";
    EXPECT_EQ(main().PaintBox1->size(), QSize(362, 1322));
    main().TabSheet2->BreitEd->setValue(13); // the change handler repaints at the new size
    EXPECT_EQ(main().PaintBox1->width(), 49 * 12 + 74);

    // Without the whole table the view shows the printer's page at screen scale (A4 when no
    // printer is installed): about 8 x 11 inches.
    main().ZeigegesamteTabelle1->setChecked(false);
    EXPECT_NEAR(main().PaintBox1->width(), 8 * 96, 60);
    EXPECT_NEAR(main().PaintBox1->height(), 11 * 96, 80);
}

TEST_F(ChartView, ClicksMarkAColumnAndPlaceTheSelectedStitch) {
    ASSERT_TRUE(main().doc.buildChart(4, 5, -1));
    paint();
    const CellRect& third = main().doc.cellAt(0, 2).feldrect;
    QTest::mouseClick(main().PaintBox1, Qt::LeftButton, {},
                      QPoint((third.left + third.right) / 2, third.top - 10));
    EXPECT_TRUE(main().doc.selectcol);
    EXPECT_EQ(main().doc.colnr, 3);
    EXPECT_FALSE(main().doc.changed);

    QTest::mouseClick(main().PaintBox1, Qt::RightButton, {}, centreOf(2, 1));
    const TFeld& cell = main().doc.cellAt(2, 1);
    EXPECT_TRUE(cell.belegt);
    EXPECT_EQ(ownedTextToString(cell.stich->bezeichnung), QStringLiteral("Rechte Masche"));
    EXPECT_FALSE(main().doc.selectcol);
    EXPECT_EQ(main().windowTitle(),
              QStringLiteral("Orvenal Tessaplan-Designer 1.0 - [unbenannt.tpd*]"));

    // With the chart switched off clicks do nothing.
    main().TabSheet2->TessaplanCheck->setChecked(false);
    QTest::mouseClick(main().PaintBox1, Qt::LeftButton, {}, centreOf(3, 3));
    EXPECT_FALSE(main().doc.cellAt(3, 3).belegt);
}

TEST_F(ChartView, GridMenusOfferEveryCommandWithItsShortcut) {
    EXPECT_EQ(
        entries(main().Spalten1),
        (QStringList{"Neue Spalte links|", "Neue Spalte rechts|", "-", "Markierte Spalte löschen|",
                     "Spalte ganz links löschen|", "Spalte ganz rechts löschen|", "-",
                     "Spalte kopieren|Ctrl+C", "Spalte einfügen|Ctrl+V"}));
    EXPECT_EQ(entries(main().Zeilen1),
              (QStringList{"Neue Zeile oben|", "Zeue Zeile unten|", "-", "Markierte Zeile löschen|",
                           "Zeile ganz oben löschen|", "Zeile ganz unten löschen|", "-",
                           "Zeile kopieren|Ctrl+D", "Zeile einfügen|Ctrl+F", "-",
                           "Zeile nach links verschieben|Ctrl+L",
                           "Zeile nach rechts verschieben|Ctrl+R"}));
}

TEST_F(ChartView, CommandsWithoutAMarkSayWhatToClick) {
    main().Spaltekopieren1Click();
    main().Zeilenachlinksverschieben1Click();
    ASSERT_EQ(messages.texts().size(), 2);
    EXPECT_TRUE(messages.texts()[0].startsWith(QStringLiteral("Es ist keine Spalte markiert.")));
    EXPECT_TRUE(messages.texts()[1].endsWith(QStringLiteral("um eine Zeile zu markieren")));
    EXPECT_FALSE(main().doc.changed);

    main().NeueSpalterechts1Click();
    EXPECT_EQ(main().doc.aspalten, 11);
    EXPECT_TRUE(main().doc.changed);
    EXPECT_TRUE(main().doc.cellAt(0, 10).belegt); // filled with the first library stitch
}
