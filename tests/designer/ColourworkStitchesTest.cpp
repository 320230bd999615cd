#include "designer/ColourworkStitches.h"

#include "ColourBlocks.h"
#include "Pictures.h"
#include "designer/PageRenderer.h"
#include "foundation/OwnedText.h"

#include <gtest/gtest.h>

TEST(ColourworkChart, CellsHoldOneSolidStitchPerColourAndTheLibraryStays) {
    constexpr int kColumns = 12, kRows = 9;
    ChartDocument doc;
    TStich* library = doc.stiche.Add();
    library->bezeichnung = ownedTextFromString(QStringLiteral("Rechte Masche"));
    library->breite = 1;
    library->di = makePatternPicture(30, 30, 8);
    ASSERT_TRUE(doc.buildChart(3, 4, 0));
    const OwnedDib picture = colourblocks::picture(kColumns, kRows, 4, 24, 6);
    const colourwork::Chart chart =
        colourwork::pictureToChart(picture.get(), {kColumns, 10, 10, 6, false});

    // Room for the cells but not for their pictures: the old chart stays.
    EXPECT_EQ(colourwork::buildColourworkChart(doc, chart,
                                               ChartDocument::gridBytes(kRows, kColumns) + 1000),
              colourwork::BuildStatus::NoMemory);
    EXPECT_EQ(std::pair(doc.azeilen, doc.aspalten), std::pair(3, 4));
    EXPECT_EQ(ownedTextToString(doc.cellAt(2, 3).stich->bezeichnung),
              QStringLiteral("Rechte Masche"));

    ASSERT_EQ(colourwork::buildColourworkChart(doc, chart, ~0ull), colourwork::BuildStatus::Done);
    ASSERT_EQ(std::pair(doc.azeilen, doc.aspalten), std::pair(kRows, kColumns));
    ASSERT_EQ(doc.zeilen.count, std::uint32_t(kRows));
    for (int r = 0; r < kRows; ++r) {
        ASSERT_EQ(doc.zeilen[std::uint32_t(r)]->count, std::uint32_t(kColumns));
        for (int c = 0; c < kColumns; ++c) {
            const SharedStitch& s = *doc.cellAt(r, c).stich;
            const int k = chart.at(r, c) + 1;
            const grafikrw3::Rgb colour = chart.colours[std::size_t(k - 1)];
            const QString name = QStringLiteral("Farbe %1").arg(k);
            ASSERT_TRUE(doc.cellAt(r, c).belegt);
            EXPECT_EQ(
                QStringList({ownedTextToString(s.bezeichnung), ownedTextToString(s.abkuerzung),
                             ownedTextToString(s.hinreihe), ownedTextToString(s.rueckreihe)}),
                QStringList({name, QStringLiteral("F%1").arg(k), name, name}));
            EXPECT_EQ(doc.cellAt(r, c).breite, 1);
            ASSERT_EQ(std::tuple(DIBWidth(s.di), DIBHeight(s.di), DIBBitCount(s.di)),
                      std::tuple(20, 20, std::uint16_t(24)));
            std::vector<std::uint8_t> want; // rows of 60 bytes need no padding
            for (int i = 0; i < 20 * 20; ++i) {
                want.insert(want.end(), {colour.blue, colour.green, colour.red});
            }
            ASSERT_EQ(pixelBytes(s.di), want);
        }
    }
    // Cells of one colour share its record, cells of other colours do not; the library
    // stitch is untouched.
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            EXPECT_EQ(doc.cellAt(r, c).stich == doc.cellAt(0, 0).stich,
                      chart.at(r, c) == chart.at(0, 0));
        }
    }
    ASSERT_EQ(doc.stiche.count, 1u);
    EXPECT_EQ(DIBWidth(doc.stiche[0].di), 30);

    // The legend lists every colour once, by name.
    QStringList listed;
    for (const TFeld* cell : legendCells(doc)) {
        listed << ownedTextToString(cell->stich->bezeichnung);
    }
    listed.sort();
    EXPECT_EQ(listed,
              QStringList({"Farbe 1", "Farbe 2", "Farbe 3", "Farbe 4", "Farbe 5", "Farbe 6"}));
}
