#include "designer/ChartDocument.h"

#include "Pictures.h"
#include "TestSupport.h"
#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <gtest/gtest.h>

namespace {

// Appends a stitch to the document's library.
TStich& addLibraryStitch(ChartDocument& doc, const QString& name, int breite, int width, int height,
                         int bits = 24) {
    TStich* s = doc.stiche.Add();
    s->bezeichnung = ownedTextFromString(name);
    s->abkuerzung = ownedTextFromString(QStringLiteral("abk"));
    s->hinreihe = ownedTextFromString(QStringLiteral("rechts stricken"));
    s->rueckreihe = ownedTextFromString(QStringLiteral("links stricken"));
    s->breite = breite;
    s->di = makePatternPicture(width, height, bits);
    return *s;
}

// Checks the document's invariant: azeilen rows of aspalten cells.
void expectShape(const ChartDocument& doc, int rows, int columns) {
    EXPECT_EQ(doc.azeilen, rows);
    EXPECT_EQ(doc.aspalten, columns);
    ASSERT_EQ(doc.zeilen.count, std::uint32_t(rows));
    for (TZeile row : doc.zeilen) {
        ASSERT_NE(row, nullptr);
        ASSERT_EQ(row->count, std::uint32_t(columns));
    }
}

class PlaceStitch : public ::testing::Test {
protected:
    ChartDocument doc;
    TFeld cell;
    ~PlaceStitch() override { doc.releaseCell(cell); }
};

} // namespace

TEST_F(PlaceStitch, WidePictureIsCutToHundredPixelsPerCell) {
    const TStich& s = addLibraryStitch(doc, QStringLiteral("Rechte Masche"), 1, 150, 60);
    ASSERT_TRUE(doc.placeStitch(cell, s));
    EXPECT_TRUE(cell.belegt);
    EXPECT_EQ(DIBWidth(cell.stich->di), 100);
    EXPECT_EQ(DIBHeight(cell.stich->di), 40);
    EXPECT_EQ(cell.breite, 1);
    EXPECT_EQ(ownedTextToString(cell.stich->bezeichnung), QStringLiteral("Rechte Masche"));
    EXPECT_EQ(ownedTextToString(cell.stich->rueckreihe), QStringLiteral("links stricken"));
    EXPECT_NE(cell.stich->bezeichnung, s.bezeichnung);
    EXPECT_NE(cell.stich->di.poi, s.di.poi);
    EXPECT_EQ(DIBWidth(s.di), 150); // the library keeps its picture
}

TEST_F(PlaceStitch, PicturesWithinTheLimitKeepTheirSizeAndPixels) {
    const TStich& square = addLibraryStitch(doc, QStringLiteral("a"), 1, 60, 60, 8);
    ASSERT_TRUE(doc.placeStitch(cell, square));
    EXPECT_EQ(DIBWidth(cell.stich->di), 60);
    EXPECT_EQ(pixelBytes(cell.stich->di), pixelBytes(square.di));

    TFeld wide;
    const TStich& threeCells = addLibraryStitch(doc, QStringLiteral("b"), 3, 250, 80);
    ASSERT_TRUE(doc.placeStitch(wide, threeCells));
    EXPECT_EQ(DIBWidth(wide.stich->di), 250);
    EXPECT_EQ(wide.breite, 3);
    doc.releaseCell(wide);
}

TEST_F(PlaceStitch, WidthZeroFromOldFilesCountsAsOneCell) {
    const TStich& s = addLibraryStitch(doc, QStringLiteral("alt"), 0, 150, 60);
    ASSERT_TRUE(doc.placeStitch(cell, s));
    EXPECT_EQ(DIBWidth(cell.stich->di), 100);
    EXPECT_EQ(DIBHeight(cell.stich->di), 40);
    EXPECT_EQ(cell.breite, 0);
}

TEST_F(PlaceStitch, ShortageAtAnyStepLeavesTheCellEmptyAndNothingBehind) {
    const TStich& s = addLibraryStitch(doc, QStringLiteral("x"), 1, 150, 60);
    // Copy and cut of the picture (2 + 2 blocks), then the shared record: 4 texts, 2 blocks.
    for (std::size_t grants = 0; grants < 10; ++grants) {
        AllocationFailure failure(0, grants);
        TFeld target;
        target.feldrect = CellRect{1, 2, 3, 4};
        EXPECT_FALSE(doc.placeStitch(target, s)) << grants;
        EXPECT_FALSE(target.belegt);
        EXPECT_EQ(target.stich, nullptr);
        EXPECT_EQ(target.feldrect.right, 3); // the hit test keeps its rectangle
        EXPECT_EQ(doc.pool.size(), 0u);
    }
    AllocationFailure enough(0, 10);
    EXPECT_TRUE(doc.placeStitch(cell, s));
}

TEST_F(PlaceStitch, EqualContentIsSharedAndTheLibraryStaysApart) {
    TStich& s = addLibraryStitch(doc, QStringLiteral("Zopf"), 2, 30, 20, 4);
    TFeld other;
    ASSERT_TRUE(doc.placeStitch(cell, s));
    ASSERT_TRUE(doc.placeStitch(other, s));
    EXPECT_EQ(cell.stich, other.stich);
    EXPECT_EQ(doc.pool.size(), 1u);
    const auto placed = pixelBytes(cell.stich->di);

    // Editing the library stitch, as the stitch editor does, leaves the placed cells alone;
    // placing it again gives a record of its own.
    grafikrw3::setpixel(s.di, 3, 3, 9);
    freeOwnedText(s.hinreihe);
    s.hinreihe = ownedTextFromString(QStringLiteral("neu"));
    EXPECT_EQ(pixelBytes(cell.stich->di), placed);
    EXPECT_EQ(ownedTextToString(cell.stich->hinreihe), QStringLiteral("rechts stricken"));
    TFeld edited;
    ASSERT_TRUE(doc.placeStitch(edited, s));
    EXPECT_NE(edited.stich, cell.stich);
    EXPECT_EQ(doc.pool.size(), 2u);

    // The last holder frees a record.
    doc.releaseCell(other);
    EXPECT_EQ(doc.pool.size(), 2u);
    doc.releaseCell(edited);
    EXPECT_EQ(doc.pool.size(), 1u);
}

TEST(ChartDocument, BuildsChartFilledWithTheChosenStitch) {
    ChartDocument doc;
    addLibraryStitch(doc, QStringLiteral("eins"), 1, 20, 20);
    addLibraryStitch(doc, QStringLiteral("zwei"), 2, 30, 20);
    ASSERT_TRUE(doc.buildChart(4, 3, 1));
    expectShape(doc, 4, 3);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) {
            const TFeld& cell = doc.cellAt(r, c);
            ASSERT_TRUE(cell.belegt);
            EXPECT_EQ(ownedTextToString(cell.stich->bezeichnung), QStringLiteral("zwei"));
            EXPECT_EQ(cell.breite, 2);
            EXPECT_EQ(cell.stich, doc.cellAt(0, 0).stich);
        }
    }
    EXPECT_EQ(doc.pool.size(), 1u);
    // The cells' mirror is shared by every row.
    doc.zeilen.at(2)[0]->GetObject(1);
    EXPECT_EQ(doc.aspalte, &doc.cellAt(2, 1));
}

TEST(ChartDocument, WithoutLibraryOrValidFillTheCellsStayEmpty) {
    ChartDocument doc;
    ASSERT_TRUE(doc.buildChart(1000, 1, 0));
    expectShape(doc, 1000, 1);
    for (TZeile row : doc.zeilen) {
        EXPECT_FALSE((*row)[0].belegt);
    }
    addLibraryStitch(doc, QStringLiteral("eins"), 1, 5, 5);
    ASSERT_TRUE(doc.buildChart(2, 2, 5));
    expectShape(doc, 2, 2);
    EXPECT_FALSE(doc.cellAt(1, 1).belegt);
}

TEST(ChartDocument, PictureShortageLeavesTheCellsEmptyWithOneReport) {
    ChartDocument doc;
    addLibraryStitch(doc, QStringLiteral("gross"), 1, 100, 500);
    // The picture (150 000 bytes) is bigger than a row's block of 100 cells.
    const std::size_t rowBlock = 100 * sizeof(TFeld);
    ASSERT_GT(std::size_t(300 * 500), rowBlock);
    MessageCapture messages;
    {
        AllocationFailure failure(rowBlock + 1);
        ASSERT_TRUE(doc.buildChart(10, 10, 0));
    }
    expectShape(doc, 10, 10);
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("Fehler: nicht genug Speicher für diese Operation!")});
    for (TZeile row : doc.zeilen) {
        for (const TFeld& cell : *row) {
            EXPECT_FALSE(cell.belegt);
            EXPECT_EQ(cell.stich, nullptr);
        }
    }
    EXPECT_EQ(doc.pool.size(), 0u);
}

TEST(ChartDocument, ChartsArePlannedAgainstTheMemoryBudget) {
    ChartDocument doc;
    const TStich& s = addLibraryStitch(doc, QStringLiteral("Zopf"), 2, 300, 120);
    // The shared record: the cut 200 x 80 picture, its header and the four texts.
    EXPECT_EQ(ChartDocument::placedStitchBytes(s),
              sizeof(SharedStitch) + 200u * 3 * 80 + 40 + 2 * (5 + 4 + 16 + 15));
    ASSERT_TRUE(doc.buildChart(2, 2, -1));
    const TFeld* oldCell = &doc.cellAt(0, 0);

    const std::uint64_t structure =
        1000 * (sizeof(TZeile) + sizeof(TDynaArrayOf<TFeld>) + 1000 * sizeof(TFeld));
    MessageCapture messages;
    EXPECT_FALSE(doc.buildChart(1000, 1000, 0, structure - 1));
    expectShape(doc, 2, 2);
    EXPECT_EQ(&doc.cellAt(0, 0), oldCell);
    EXPECT_EQ(messages.texts().size(), 1);

    // All cells share one picture: room for it fills them all, one byte less none.
    const std::uint64_t small =
        3 * (sizeof(TZeile) + sizeof(TDynaArrayOf<TFeld>) + 4 * sizeof(TFeld));
    auto filled = [&] {
        int count = 0;
        for (TZeile row : doc.zeilen) {
            for (const TFeld& cell : *row) {
                count += cell.belegt ? 1 : 0;
            }
        }
        return count;
    };
    ASSERT_TRUE(doc.buildChart(3, 4, 0, small + ChartDocument::placedStitchBytes(s)));
    expectShape(doc, 3, 4);
    EXPECT_EQ(filled(), 12);
    EXPECT_EQ(messages.texts().size(), 1);
    ASSERT_TRUE(doc.buildChart(3, 4, 0, small + ChartDocument::placedStitchBytes(s) - 1));
    EXPECT_EQ(filled(), 0);
    EXPECT_EQ(messages.texts().size(), 2);
    EXPECT_EQ(messages.texts()[1],
              QStringLiteral("Fehler: nicht genug Speicher für diese Operation!"));
}

TEST(ChartDocument, StructureShortageKeepsTheOldChart) {
    ChartDocument doc;
    addLibraryStitch(doc, QStringLiteral("eins"), 1, 4, 4);
    ASSERT_TRUE(doc.buildChart(3, 2, 0));
    const TFeld* oldCell = &doc.cellAt(0, 0);
    MessageCapture messages;
    {
        // Cell blocks of a 150-column row are big; the old chart's own blocks are smaller.
        AllocationFailure failure(100 * sizeof(TFeld) + 1);
        EXPECT_FALSE(doc.buildChart(5, 150, 0));
    }
    expectShape(doc, 3, 2);
    EXPECT_EQ(&doc.cellAt(0, 0), oldCell);
    EXPECT_TRUE(doc.cellAt(2, 1).belegt);
    ASSERT_EQ(messages.texts().size(), 1); // the record array's own report
    EXPECT_TRUE(messages.texts()[0].startsWith(QStringLiteral("Error 2 while trying to allocate")));
}

TEST(ChartDocument, ReleaseRoutinesEmptyEverything) {
    ChartDocument doc;
    addLibraryStitch(doc, QStringLiteral("eins"), 1, 4, 4);
    ASSERT_TRUE(doc.buildChart(2, 2, 0));
    doc.placeStitch(*doc.copyzeile.Add(), *doc.stiche.at(0));
    doc.copyspalte.Add();
    doc.FreeAllDoc();
    doc.Freecopyzeile();
    doc.Freecopyspalte();
    doc.FreeAllStiche();
    EXPECT_EQ(doc.zeilen.count, 0u);
    EXPECT_EQ(doc.copyzeile.count, 0u);
    EXPECT_EQ(doc.copyspalte.count, 0u);
    EXPECT_EQ(doc.stiche.count, 0u);
    EXPECT_EQ(doc.azeilen, 2); // callers set the size
    EXPECT_EQ(doc.azeile, nullptr);
    EXPECT_EQ(doc.astich, nullptr);
    EXPECT_EQ(doc.pool.size(), 0u);
}

TEST(ChartDocument, CaptionShowsBareFileNameAndChangedMark) {
    ChartDocument doc;
    const QString maincap = QStringLiteral("Orvenal Tessaplan-Designer 1.0");
    EXPECT_EQ(doc.captionFor(maincap),
              QStringLiteral("Orvenal Tessaplan-Designer 1.0 - [unbenannt.tpd]"));
    doc.SetChanged();
    EXPECT_EQ(doc.captionFor(maincap),
              QStringLiteral("Orvenal Tessaplan-Designer 1.0 - [unbenannt.tpd*]"));
    doc.afilename = QStringLiteral("/home/anna/Strickmuster/jacke.tpd");
    EXPECT_EQ(doc.captionFor(maincap),
              QStringLiteral("Orvenal Tessaplan-Designer 1.0 - [jacke.tpd*]"));
    doc.SetUnChanged();
    EXPECT_EQ(doc.captionFor(maincap),
              QStringLiteral("Orvenal Tessaplan-Designer 1.0 - [jacke.tpd]"));
}
