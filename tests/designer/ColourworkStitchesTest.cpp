#include "designer/ColourworkStitches.h"

#include "ColourBlocks.h"
#include "Pictures.h"
#include "TestSupport.h"
#include "designer/PageRenderer.h"
#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/PixelRows.h"

#include <gtest/gtest.h>

#include <limits>

using colourwork::BuildStatus;

namespace {

constexpr int kColumns = 12, kRows = 9;
constexpr std::uint64_t kPlenty = std::numeric_limits<std::uint64_t>::max();

colourwork::Chart blockChart(int n) {
    const OwnedDib picture = colourblocks::picture(kColumns, kRows, 4, 24, n);
    colourwork::Params p;
    p.stitches = kColumns;
    p.stitchGauge = p.rowGauge = 10;
    p.colours = n;
    return colourwork::pictureToChart(picture.get(), p);
}

// A document with a one-stitch library and a 3 x 4 chart of that stitch.
class ColourworkDocument : public ::testing::Test {
protected:
    ChartDocument doc;
    void SetUp() override {
        TStich* s = doc.stiche.Add();
        s->bezeichnung = ownedTextFromString(QStringLiteral("Rechte Masche"));
        s->breite = 1;
        s->di = makePatternPicture(30, 30, 8);
        ASSERT_TRUE(doc.buildChart(3, 4, 0));
    }
    void expectOldChart() {
        ASSERT_EQ(doc.azeilen, 3);
        ASSERT_EQ(doc.aspalten, 4);
        ASSERT_EQ(doc.zeilen.count, 3u);
        EXPECT_EQ(ownedTextToString(doc.cellAt(2, 3).stich.bezeichnung),
                  QStringLiteral("Rechte Masche"));
    }
    void expectShape() {
        ASSERT_EQ(doc.zeilen.count, std::uint32_t(doc.azeilen));
        for (TZeile row : doc.zeilen) {
            ASSERT_EQ(row->count, std::uint32_t(doc.aspalten));
        }
    }
};

} // namespace

TEST_F(ColourworkDocument, CellsHoldOneSolidStitchPerColour) {
    constexpr int n = 6;
    const colourwork::Chart chart = blockChart(n);
    ASSERT_EQ(chart.colours.size(), std::size_t(n));
    ASSERT_EQ(colourwork::buildColourworkChart(doc, chart, kPlenty), BuildStatus::Done);
    ASSERT_EQ(doc.azeilen, kRows);
    ASSERT_EQ(doc.aspalten, kColumns);
    expectShape();

    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const TFeld& cell = doc.cellAt(r, c);
            const int k = chart.at(r, c) + 1;
            const grafikrw3::Rgb colour = chart.colours[std::size_t(k - 1)];
            const QString name = QStringLiteral("Farbe %1").arg(k);
            ASSERT_TRUE(cell.belegt);
            EXPECT_EQ(ownedTextToString(cell.stich.bezeichnung), name);
            EXPECT_EQ(ownedTextToString(cell.stich.abkuerzung), QStringLiteral("F%1").arg(k));
            EXPECT_EQ(ownedTextToString(cell.stich.hinreihe), name);
            EXPECT_EQ(ownedTextToString(cell.stich.rueckreihe), name);
            EXPECT_EQ(cell.stich.breite, 1);
            ASSERT_EQ(DIBWidth(cell.stich.di), 20);
            ASSERT_EQ(DIBHeight(cell.stich.di), 20);
            ASSERT_EQ(DIBBitCount(cell.stich.di), 24);
            std::vector<std::uint8_t> want; // rows of 60 bytes need no padding
            for (int i = 0; i < 20 * 20; ++i) {
                want.insert(want.end(), {colour.blue, colour.green, colour.red});
            }
            ASSERT_EQ(pixelBytes(cell.stich.di), want) << r << "," << c;
        }
    }
    // Each cell owns its copy; the library and its stitch stay as they were.
    EXPECT_NE(doc.cellAt(0, 0).stich.di.poi, doc.cellAt(0, 1).stich.di.poi);
    ASSERT_EQ(doc.stiche.count, 1u);
    EXPECT_EQ(ownedTextToString(doc.stiche[0].bezeichnung), QStringLiteral("Rechte Masche"));
    EXPECT_EQ(DIBWidth(doc.stiche[0].di), 30);

    // The legend lists every colour once, by name.
    QStringList listed;
    for (const TFeld* cell : legendCells(doc)) {
        listed << ownedTextToString(cell->stich.bezeichnung);
    }
    listed.sort();
    EXPECT_EQ(listed,
              (QStringList{"Farbe 1", "Farbe 2", "Farbe 3", "Farbe 4", "Farbe 5", "Farbe 6"}));
}

TEST_F(ColourworkDocument, AChartThatDoesNotFitLeavesTheOldOne) {
    const colourwork::Chart chart = blockChart(2);
    // Room for the cells but not for their pictures.
    const std::uint64_t grid = ChartDocument::gridBytes(kRows, kColumns);
    EXPECT_EQ(colourwork::buildColourworkChart(doc, chart, grid + 1000), BuildStatus::NoMemory);
    expectOldChart();
    EXPECT_EQ(colourwork::buildColourworkChart(doc, colourwork::Chart{}, kPlenty),
              BuildStatus::NoChart);
    expectOldChart();
}

// Memory running out at any point: either the old chart stays whole, or the new chart has its
// full size with the cells that could not be filled left empty.
TEST_F(ColourworkDocument, RunningOutOfMemoryNeverBreaksTheChart) {
    MessageCapture messages;
    const colourwork::Chart chart = blockChart(6);
    bool sawIncomplete = false;
    bool sawNoMemory = false;
    for (std::size_t grants = 0; grants < 400 && !(sawIncomplete && sawNoMemory); grants += 3) {
        ASSERT_TRUE(doc.buildChart(3, 4, 0));
        BuildStatus status;
        {
            AllocationFailure failure(64, grants);
            status = colourwork::buildColourworkChart(doc, chart, kPlenty);
        }
        expectShape();
        if (status == BuildStatus::NoMemory) {
            sawNoMemory = true;
            expectOldChart();
        } else if (status == BuildStatus::Incomplete) {
            sawIncomplete = true;
            EXPECT_EQ(doc.azeilen, kRows);
            EXPECT_FALSE(doc.cellAt(kRows - 1, kColumns - 1).belegt);
        }
    }
    EXPECT_TRUE(sawNoMemory);
    EXPECT_TRUE(sawIncomplete);
}
