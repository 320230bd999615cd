#include "designer/ChartDocument.h"

#include "FileTestHelpers.h"
#include "Pictures.h"
#include "ReferenceCounts.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

using Result = ChartDocument::EditResult;

// A chart whose cells carry their original position as name "r,c"; the first library
// stitch is "neu".
class Editing : public ::testing::Test {
protected:
    ChartDocument doc;

    void SetUp() override {
        fillStitch(*doc.stiche.Add(), QStringLiteral("neu"), 1, makePatternPicture(4, 4, 8));
        build(3, 4);
    }
    void build(int rows, int columns) {
        ASSERT_TRUE(doc.buildChart(rows, columns, -1));
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                fillCell(doc, doc.cellAt(r, c), QStringLiteral("%1,%2").arg(r).arg(c), 1,
                         makePatternPicture(2, 2, 8));
            }
        }
    }
    QString name(int r, int c) const {
        const TFeld& cell = doc.cellAt(r, c);
        return cell.belegt ? ownedTextToString(cell.stich->bezeichnung) : QStringLiteral("-");
    }
    QStringList row(int r) const {
        QStringList out;
        for (int c = 0; c < doc.aspalten; ++c) {
            out << name(r, c);
        }
        return out;
    }
    QStringList column(int c) const {
        QStringList out;
        for (int r = 0; r < doc.azeilen; ++r) {
            out << name(r, c);
        }
        return out;
    }
    void expectShape() const {
        ASSERT_EQ(doc.zeilen.count, std::uint32_t(doc.azeilen));
        for (TZeile r : doc.zeilen) {
            ASSERT_EQ(r->count, std::uint32_t(doc.aspalten));
        }
    }
    void markColumn(int c) {
        doc.selectcol = true;
        doc.selectrow = false;
        doc.colnr = c;
    }
    void markRow(int r) {
        doc.selectrow = true;
        doc.selectcol = false;
        doc.rownr = r;
    }
};

} // namespace

TEST_F(Editing, InsertingColumnsAndRowsFollowsTheMark) {
    EXPECT_EQ(doc.insertColumnLeft(), Result::Done); // no mark: at the left edge
    expectShape();
    EXPECT_EQ(row(0), (QStringList{"neu", "0,0", "0,1", "0,2", "0,3"}));
    markColumn(4);
    doc.insertColumnLeft(); // the new column becomes column 4, the mark moves to 5
    EXPECT_EQ(row(1), (QStringList{"neu", "1,0", "1,1", "neu", "1,2", "1,3"}));
    EXPECT_EQ(doc.colnr, 5);
    doc.insertColumnRight();
    EXPECT_EQ(row(2), (QStringList{"neu", "2,0", "2,1", "neu", "2,2", "neu", "2,3"}));
    EXPECT_EQ(doc.colnr, 5);
    EXPECT_EQ(doc.aspalten, 7);

    markRow(2);
    doc.insertRowAbove();
    EXPECT_EQ(column(1), (QStringList{"0,0", "neu", "1,0", "2,0"}));
    EXPECT_EQ(doc.rownr, 3);
    doc.selectrow = false;
    doc.insertRowBelow(); // no mark: at the bottom
    EXPECT_EQ(column(1), (QStringList{"0,0", "neu", "1,0", "2,0", "neu"}));
    expectShape();
}

TEST_F(Editing, InsertingWithAnEmptyLibraryLeavesTheNewCellsEmpty) {
    doc.FreeAllStiche();
    doc.insertColumnRight();
    doc.insertRowAbove();
    EXPECT_EQ(row(0), (QStringList{"-", "-", "-", "-", "-"}));
    EXPECT_EQ(name(1, 4), QStringLiteral("-"));
    expectShape();
}

TEST_F(Editing, DeletingKeepsTheMarkInsideAndStopsAtOne) {
    markColumn(1);
    EXPECT_EQ(doc.deleteMarkedColumn(), Result::Done);
    EXPECT_EQ(row(0), (QStringList{"0,1", "0,2", "0,3"}));
    EXPECT_EQ(doc.colnr, 1);
    EXPECT_TRUE(doc.selectcol);
    markColumn(3);
    doc.deleteLastColumn();
    EXPECT_EQ(doc.colnr, 2);
    doc.deleteFirstColumn();
    EXPECT_EQ(row(0), (QStringList{"0,2"}));
    EXPECT_EQ(doc.colnr, 1);
    EXPECT_EQ(doc.deleteFirstColumn(), Result::Unchanged);
    EXPECT_EQ(doc.deleteLastColumn(), Result::Unchanged);
    EXPECT_EQ(doc.deleteMarkedColumn(), Result::Unchanged);

    markRow(2);
    doc.deleteMarkedRow();
    EXPECT_EQ(column(0), (QStringList{"0,2", "2,2"}));
    EXPECT_EQ(doc.rownr, 1);
    doc.deleteTopRow();
    EXPECT_EQ(column(0), (QStringList{"2,2"}));
    EXPECT_EQ(doc.deleteBottomRow(), Result::Unchanged);
    EXPECT_EQ(doc.deleteMarkedRow(), Result::Unchanged);
    expectShape();
}

TEST_F(Editing, CopyAndPasteNeedAMarkAndTwoColumnsOrRows) {
    EXPECT_EQ(doc.copyColumn(), Result::NeedColumnMark);
    EXPECT_EQ(doc.pasteRow(), Result::NeedRowMark);
    EXPECT_EQ(doc.shiftRowLeft(), Result::NeedRowMark);
    build(3, 1);
    markColumn(1);
    EXPECT_EQ(doc.copyColumn(), Result::NeedColumnMark); // one column only
    build(1, 3);
    markRow(1);
    EXPECT_EQ(doc.copyRow(), Result::NeedRowMark);
}

TEST_F(Editing, PastedColumnRepeatsItsLastCellForAddedRows) {
    markColumn(2);
    EXPECT_EQ(doc.pasteColumn(), Result::Unchanged); // nothing copied yet: no cell touched
    EXPECT_EQ(column(1), (QStringList{"0,1", "1,1", "2,1"}));
    EXPECT_EQ(doc.copyColumn(), Result::Unchanged);
    doc.selectcol = false;
    doc.insertRowBelow();
    doc.insertRowBelow();
    markColumn(4);
    EXPECT_EQ(doc.pasteColumn(), Result::Done);
    EXPECT_EQ(column(3), (QStringList{"0,1", "1,1", "2,1", "2,1", "2,1"}));
    EXPECT_EQ(pixelBytes(doc.cellAt(3, 3).stich->di), pixelBytes(doc.cellAt(2, 1).stich->di));

    markRow(1);
    doc.copyRow();
    markRow(3);
    doc.pasteRow();
    EXPECT_EQ(row(2), (QStringList{"0,0", "0,1", "0,2", "0,1"}));
    expectShape();
}

TEST_F(Editing, ShiftingRotatesTheMarkedRow) {
    build(2, 3);
    markRow(1);
    EXPECT_EQ(doc.shiftRowLeft(), Result::Done);
    EXPECT_EQ(row(0), (QStringList{"0,1", "0,2", "0,0"}));
    doc.shiftRowRight();
    doc.shiftRowRight();
    EXPECT_EQ(row(0), (QStringList{"0,2", "0,0", "0,1"}));
    EXPECT_EQ(row(1), (QStringList{"1,0", "1,1", "1,2"}));
}

TEST_F(Editing, MarksLeftOutsideTheChartCountAsNoMark) {
    markColumn(9);
    EXPECT_EQ(doc.copyColumn(), Result::NeedColumnMark);
    EXPECT_EQ(doc.deleteMarkedColumn(), Result::Unchanged);
    doc.insertColumnLeft();
    EXPECT_EQ(name(0, 0), QStringLiteral("neu"));
    markRow(7);
    EXPECT_EQ(doc.pasteRow(), Result::NeedRowMark);
    doc.insertRowBelow();
    EXPECT_EQ(name(3, 0), QStringLiteral("neu"));
    expectShape();
}

TEST_F(Editing, ClicksMarkColumnsAndRowsAndPlaceTheSelectedStitch) {
    // Cells as a 24-pixel grid starting at (100, 200), as a paint would record them.
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) {
            doc.cellAt(r, c).feldrect =
                CellRect{100 + 24 * c + 1, 200 + 24 * r + 1, 100 + 24 * c + 24, 200 + 24 * r + 24};
        }
    }
    EXPECT_FALSE(doc.clickAt(150, 220, false).repaint); // chart switched off
    auto click = [&](int x, int y) { return doc.clickAt(x, y, true); };

    EXPECT_TRUE(click(100 + 24 * 2 + 10, 190).repaint); // above column 3
    EXPECT_TRUE(doc.selectcol);
    EXPECT_EQ(doc.colnr, 3);
    click(90, 190); // corner box
    EXPECT_FALSE(doc.selectcol);
    EXPECT_FALSE(doc.selectrow);
    click(90, 200 + 24 + 10); // left of row 2
    EXPECT_TRUE(doc.selectrow);
    EXPECT_EQ(doc.rownr, 2);
    click(100 + 24 * 4 + 10, 200 + 48 + 10); // right of row 3
    EXPECT_EQ(doc.rownr, 3);

    const ChartDocument::ClickResult placed = click(100 + 24 + 10, 200 + 24 + 10);
    EXPECT_TRUE(placed.changed);
    EXPECT_FALSE(doc.selectrow);
    EXPECT_EQ(name(1, 1), QStringLiteral("neu"));
    EXPECT_EQ(name(1, 0), QStringLiteral("1,0"));

    doc.stichnr = 5; // no such library stitch
    EXPECT_FALSE(click(100 + 10, 200 + 10).changed);
    EXPECT_EQ(name(0, 0), QStringLiteral("0,0"));
}

TEST_F(Editing, SharedCellsSurviveEveryCommandIndependently) {
    // Three stitches over a chart whose cells share them; then a long run of commands, with
    // the reference counts checked after each and the content of one cell followed throughout.
    fillStitch(*doc.stiche.Add(), QStringLiteral("zwei"), 2, makePatternPicture(9, 4, 4));
    build(5, 6);
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 6; ++c) {
            doc.releaseCell(doc.cellAt(r, c));
            if ((r + c) % 3 != 2) {
                doc.placeStitch(doc.cellAt(r, c), *doc.stiche.at(std::uint32_t((r * c) % 2)));
            }
        }
    }
    doc.cellsChanged();
    expectReferencesCounted(doc);
    ASSERT_EQ(doc.pool.size(), 2u);
    const auto neuPixels = pixelBytes(doc.cellAt(0, 0).stich->di);

    std::mt19937 random(7);
    for (int step = 0; step < 300; ++step) {
        const int what = int(random() % 12);
        const int column = 1 + int(random() % std::uint32_t(doc.aspalten));
        const int rowNumber = 1 + int(random() % std::uint32_t(doc.azeilen));
        if (what < 4) {
            markColumn(column);
        } else if (what < 8) {
            markRow(rowNumber);
        }
        switch (what) {
        case 0:
            doc.copyColumn();
            break;
        case 1:
            doc.pasteColumn();
            break;
        case 2:
            doc.aspalten < 9 ? doc.insertColumnRight() : doc.deleteMarkedColumn();
            break;
        case 3:
            doc.aspalten > 2 ? doc.deleteMarkedColumn() : doc.insertColumnLeft();
            break;
        case 4:
            doc.copyRow();
            break;
        case 5:
            doc.pasteRow();
            break;
        case 6:
            step % 2 ? doc.shiftRowLeft() : doc.shiftRowRight();
            break;
        case 7:
            doc.azeilen > 2 ? doc.deleteMarkedRow() : doc.insertRowAbove();
            break;
        case 8:
            doc.azeilen < 9 ? doc.insertRowBelow() : doc.deleteTopRow();
            break;
        case 9:
            doc.aspalten > 2 ? doc.deleteLastColumn() : doc.insertColumnRight();
            break;
        default: {
            TFeld& cell = doc.cellAt(rowNumber - 1, column - 1);
            doc.releaseCell(cell);
            doc.placeStitch(cell, *doc.stiche.at(std::uint32_t(step % 2)));
            doc.cellsChanged();
        }
        }
        expectReferencesCounted(doc);
        expectShape();
        if (HasFatalFailure()) {
            FAIL() << "after step " << step << ", command " << what;
        }
    }
    // Whatever moved where, every "neu" cell still shows the library's picture.
    for (TZeile row : doc.zeilen) {
        for (const TFeld& cell : *row) {
            if (cell.belegt && ownedTextToString(cell.stich->bezeichnung) == "neu") {
                EXPECT_EQ(pixelBytes(cell.stich->di), neuPixels);
            }
        }
    }
    doc.history.clear();
    doc.FreeAllDoc();
    doc.Freecopyspalte();
    doc.Freecopyzeile();
    EXPECT_EQ(doc.pool.size(), 0u);
}
