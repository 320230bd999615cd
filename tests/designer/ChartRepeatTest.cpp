#include "designer/ChartDocument.h"

#include "LetterChart.h"
#include "ReferenceCounts.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Result = ChartDocument::EditResult;
using Repeats = LetterChart;

} // namespace

TEST_F(Repeats, MarkingTakesTheBlockWholeAndIsOneStepEachWay) {
    load({"kRkk", "kkkk"});
    EXPECT_EQ(doc.markRepeat(), Result::NeedBlock);
    EXPECT_EQ(doc.clearRepeat(), Result::NeedRepeat);
    EXPECT_FALSE(doc.history.canUndo());

    doc.block = {0, 2, 2, 1}; // half of the cable: the whole of it
    doc.SetUnChanged();
    EXPECT_EQ(doc.markRepeat(), Result::Done);
    EXPECT_EQ(doc.repeat, (CellBlock{0, 1, 2, 2}));
    EXPECT_EQ(doc.markRepeat(), Result::Unchanged);
    EXPECT_EQ(doc.history.undoText(), QStringLiteral("Als Rapport markieren"));
    doc.block = {1, 3, 1, 1}; // a chart has one repeat: marking again moves it
    EXPECT_EQ(doc.markRepeat(), Result::Done);
    EXPECT_EQ(doc.repeat, (CellBlock{1, 3, 1, 1}));
    EXPECT_EQ(doc.clearRepeat(), Result::Done);
    EXPECT_TRUE(doc.repeat.isEmpty());
    EXPECT_EQ(doc.history.undoText(), QStringLiteral("Rapport aufheben"));
    ASSERT_EQ(doc.history.undoCount(), 3u);

    EXPECT_TRUE(doc.history.undo().layoutChanged);
    EXPECT_EQ(doc.repeat, (CellBlock{1, 3, 1, 1}));
    doc.history.undo();
    EXPECT_EQ(doc.repeat, (CellBlock{0, 1, 2, 2}));
    const ChartHistory::Outcome first = doc.history.undo();
    EXPECT_TRUE(doc.repeat.isEmpty());
    EXPECT_FALSE(first.changed); // back at the saved chart
    EXPECT_TRUE(doc.history.redo().changed);
    EXPECT_EQ(doc.repeat, (CellBlock{0, 1, 2, 2}));
    // A new chart has none.
    ASSERT_TRUE(doc.buildChart(3, 3, 0));
    EXPECT_TRUE(doc.repeat.isEmpty());
}

TEST_F(Repeats, TheRepeatFollowsEveryCommandAndComesBackWithUndo) {
    // A 6 x 6 chart whose repeat is rows 2 to 3 and columns 2 to 4 (0-based).
    const CellBlock marked{2, 2, 2, 3};
    struct Case {
        const char* what;
        std::function<Result(ChartDocument&)> command;
        CellBlock after;
    };
    auto markRow = [](int row) {
        return [row](ChartDocument& d) {
            d.selectrow = true;
            d.rownr = row;
            return Result::Done;
        };
    };
    auto markColumn = [](int column) {
        return [column](ChartDocument& d) {
            d.selectcol = true;
            d.colnr = column;
            return Result::Done;
        };
    };
    auto then = [](std::function<Result(ChartDocument&)> first,
                   Result (ChartDocument::*command)()) {
        return [first, command](ChartDocument& d) {
            first(d);
            return (d.*command)();
        };
    };
    auto onBlock = [](CellBlock b, Result (ChartDocument::*command)()) {
        return [b, command](ChartDocument& d) {
            d.block = b;
            return (d.*command)();
        };
    };
    using D = ChartDocument;
    const Case cases[] = {
        {"row above, outside", &D::insertRowAbove, {3, 2, 2, 3}},
        {"row above its top", then(markRow(3), &D::insertRowAbove), {3, 2, 2, 3}},
        {"row above its bottom", then(markRow(4), &D::insertRowAbove), {2, 2, 3, 3}},
        {"row below its bottom", then(markRow(4), &D::insertRowBelow), marked},
        {"row deleted inside", then(markRow(3), &D::deleteMarkedRow), {2, 2, 1, 3}},
        {"row deleted above", &D::deleteTopRow, {1, 2, 2, 3}},
        {"row deleted below", &D::deleteBottomRow, marked},
        {"column left, outside", &D::insertColumnLeft, {2, 3, 2, 3}},
        {"column right inside", then(markColumn(3), &D::insertColumnRight), {2, 2, 2, 4}},
        {"column deleted inside", then(markColumn(5), &D::deleteMarkedColumn), {2, 2, 2, 2}},
        {"column deleted left", &D::deleteFirstColumn, {2, 1, 2, 3}},
        {"column deleted right", &D::deleteLastColumn, marked},
        {"row pasted", then(then(markRow(3), &D::copyRow), &D::pasteRow), marked},
        {"row shifted", then(markRow(3), &D::shiftRowLeft), marked},
        {"block cut", onBlock({1, 1, 4, 4}, &D::cutBlock), marked},
        {"block mirrored, holding it",
         onBlock({1, 0, 4, 6}, &D::mirrorBlockHorizontally),
         {2, 1, 2, 3}},
        {"block mirrored top-bottom",
         onBlock({0, 0, 5, 6}, &D::mirrorBlockVertically),
         {1, 2, 2, 3}},
        {"block mirrored, part of it", onBlock({2, 2, 2, 2}, &D::mirrorBlockHorizontally), marked},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        load({"kpkpkp", "pkpkpk", "k//kpp", "p\\\\pkk", "kpkpkp", "pkpkpk"});
        doc.repeat = marked;
        doc.selectrow = doc.selectcol = false;
        EXPECT_EQ(c.command(doc), Result::Done);
        EXPECT_EQ(doc.repeat, c.after);
        const std::size_t steps = doc.history.undoCount();
        while (doc.history.canUndo()) {
            ASSERT_TRUE(doc.history.undo().done);
        }
        EXPECT_EQ(doc.repeat, marked);
        while (doc.history.canRedo()) {
            ASSERT_TRUE(doc.history.redo().done);
        }
        EXPECT_EQ(doc.history.undoCount(), steps);
        EXPECT_EQ(doc.repeat, c.after);
        expectReferencesCounted(doc);
    }

    // Deleting all its rows takes it away; undoing brings it back.
    load({"kk", "kk", "kk"});
    doc.repeat = {2, 0, 1, 2};
    EXPECT_EQ(doc.deleteBottomRow(), Result::Done);
    EXPECT_TRUE(doc.repeat.isEmpty());
    doc.history.undo();
    EXPECT_EQ(doc.repeat, (CellBlock{2, 0, 1, 2}));
}

TEST_F(Repeats, TilingRepeatsTheMotifWithItsRowsAndColumnsAsOneStep) {
    const QStringList chart{"pppp", "k/pk", "kp\\k", "kkkk"};
    struct Case {
        int across, up;
        QStringList after;
        CellBlock repeat;
    } cases[] = {
        {3,
         2,
         {"pppppppp", "k/p/p/pk", "kp\\p\\p\\k", "k/p/p/pk", "kp\\p\\p\\k", "kkkkkkkk"},
         {3, 5, 2, 2}},
        {2, 1, {"pppppp", "k/p/pk", "kp\\p\\k", "kkkkkk"}, {1, 3, 2, 2}},
        {1, 3, {"pppp", "k/pk", "kp\\k", "k/pk", "kp\\k", "k/pk", "kp\\k", "kkkk"}, {5, 1, 2, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.across << " x " << c.up);
        load(chart);
        doc.repeat = {1, 1, 2, 2};
        doc.block = {0, 0, 1, 1};
        const ChartDocument::TiledSize size = doc.tiledSize(c.across, c.up);
        EXPECT_EQ(size.rows, c.after.size());
        EXPECT_EQ(size.columns, c.after[0].size());
        EXPECT_EQ(doc.tileRepeat(c.across, c.up), Result::Done);
        EXPECT_EQ(rows(), c.after);
        EXPECT_EQ(doc.azeilen, size.rows);
        EXPECT_EQ(doc.aspalten, size.columns);
        EXPECT_EQ(doc.repeat, c.repeat); // the marked cells, numbered as before from the corner
        EXPECT_EQ(doc.block, (CellBlock{0, 0, 1, 1}));
        expectReferencesCounted(doc);
        ASSERT_EQ(doc.history.undoCount(), 1u);
        EXPECT_EQ(doc.history.undoText(), QStringLiteral("Rapport wiederholen"));
        EXPECT_TRUE(doc.history.undo().layoutChanged);
        EXPECT_EQ(rows(), chart);
        EXPECT_EQ(doc.repeat, (CellBlock{1, 1, 2, 2}));
        expectReferencesCounted(doc);
        doc.history.redo();
        EXPECT_EQ(rows(), c.after);
        EXPECT_EQ(doc.repeat, c.repeat);
    }
}

TEST_F(Repeats, TilingStaysWithinTheLargestChartAndNeverCutsAStitch) {
    load({"kkkk", "kkkk"});
    EXPECT_EQ(doc.tiledSize(3, 3).rows, 0);
    EXPECT_EQ(doc.tileRepeat(2, 2), Result::NeedRepeat);
    doc.repeat = {0, 1, 2, 2};
    EXPECT_EQ(doc.tileRepeat(1, 1), Result::Unchanged);
    // 100 copies each way at most; 2 + 99 * 2 rows, 4 + 99 * 2 columns.
    EXPECT_EQ(doc.tiledSize(100, 100).rows, 200);
    EXPECT_EQ(doc.tiledSize(500, 500).columns, 202);
    EXPECT_TRUE(doc.tiledSize(100, 100).allowed());

    load(QStringList(10, QString(10, QLatin1Char('k'))));
    doc.repeat = {0, 0, 10, 10};
    EXPECT_TRUE(doc.tiledSize(100, 100).allowed()); // exactly 1000 x 1000
    EXPECT_FALSE((ChartDocument::TiledSize{1001, 5}).allowed());
    load(QStringList(3, QString(11, QLatin1Char('k'))));
    doc.repeat = {0, 0, 1, 11};
    EXPECT_EQ(doc.tiledSize(91, 1).columns, 1001);
    EXPECT_EQ(doc.tileRepeat(91, 1), Result::TooLarge);
    EXPECT_EQ(doc.aspalten, 11);
    EXPECT_FALSE(doc.history.canUndo());

    // A cable reaching across the repeat's side, in any row, refuses copies side by side.
    load({"kkkk", "kRkk"});
    doc.repeat = {0, 2, 1, 2};
    EXPECT_EQ(doc.tileRepeat(2, 1), Result::RepeatCutsStitch);
    EXPECT_EQ(doc.tileRepeat(1, 2), Result::Done); // rows are copied whole
    EXPECT_EQ(rows(), (QStringList{"kkkk", "kkkk", "kRkk"}));
}
