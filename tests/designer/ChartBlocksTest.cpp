#include "designer/ChartDocument.h"
#include "designer/StandardStitches.h"

#include "LetterChart.h"
#include "ReferenceCounts.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

using Result = ChartDocument::EditResult;

using Blocks = LetterChart;

} // namespace

TEST(CellBlock, FollowsRowsAndColumnsThatComeAndGo) {
    const CellBlock b{2, 1, 3, 2}; // rows 2 to 4
    struct Case {
        int at, count;
        CellBlock rows;
    } cases[] = {
        {0, 1, {3, 1, 3, 2}},  {2, 1, {3, 1, 3, 2}},  // above and at its first row: moved
        {3, 2, {2, 1, 5, 2}},  {5, 1, b},             // inside: wider; below: as it was
        {0, -1, {1, 1, 3, 2}}, {1, -2, {1, 1, 2, 2}}, // one above and one of its own
        {4, -3, {2, 1, 2, 2}}, {5, -1, b},            // its last and below
        {2, -3, {}},           {0, -9, {}},           // all of it
    };
    for (const Case& c : cases) {
        EXPECT_EQ(b.afterRows(c.at, c.count), c.rows) << c.at << " " << c.count;
        const CellBlock turned{b.left, b.top, b.columns, b.rows};
        const CellBlock expected{c.rows.left, c.rows.top, c.rows.columns, c.rows.rows};
        EXPECT_EQ(turned.afterColumns(c.at, c.count), expected) << c.at << " " << c.count;
    }
    EXPECT_EQ(CellBlock::spanning(4, 3, 1, 0), (CellBlock{1, 0, 4, 4}));
    EXPECT_EQ((CellBlock{-1, 2, 3, 5}).clippedTo(4, 4), (CellBlock{0, 2, 2, 2}));
    EXPECT_TRUE((CellBlock{5, 0, 1, 1}).clippedTo(4, 4).isEmpty());
}

TEST_F(Blocks, ABlockWidensToWholeStitches) {
    struct Case {
        QStringList chart;
        CellBlock asked;
        CellBlock whole;
    } cases[] = {
        {{"kRkk"}, {0, 2, 1, 1}, {0, 1, 1, 2}},         // covered cell: its stitch
        {{"kRkk"}, {0, 0, 1, 2}, {0, 0, 1, 3}},         // first cell: all of it
        {{"kRkk", "Ckkk"}, {0, 2, 1, 1}, {0, 1, 1, 2}}, // rows outside don't count
        {{"kRkk", "Ckkk"}, {0, 2, 2, 1}, {0, 0, 2, 4}}, // rows inside do
        {{"kRkk", "kkRk"}, {0, 2, 2, 1}, {0, 1, 2, 3}}, // widening reaches further
        {{"kkkC"}, {0, 3, 1, 1}, {0, 3, 1, 1}},         // cut by the chart's side
        {{"kkkk", "kkkk"}, {1, 2, 5, 5}, {1, 2, 1, 2}}, // cut to the chart
    };
    for (const Case& c : cases) {
        load(c.chart);
        EXPECT_EQ(doc.wholeStitches(c.asked), c.whole) << c.chart.join('|').toStdString();
    }
    load({"kRkk", "kkkk"});
    doc.selectBlock({1, 3}, {0, 2});
    EXPECT_EQ(doc.block, (CellBlock{0, 1, 2, 3}));
}

TEST_F(Blocks, EveryCommandIsOneStepThatUndoAndRedoRepeatExactly) {
    struct Case {
        const char* what;
        QStringList before;
        CellBlock block;
        std::function<Result(ChartDocument&)> command;
        QStringList after;
        Result result = Result::Done;
    };
    auto fillWith = [this](QChar letter) {
        return [this, letter](ChartDocument& d) {
            d.stichnr = indexOf(letter);
            return d.fillBlock();
        };
    };
    auto clear = [](ChartDocument& d) { return d.clearBlock(); };
    auto cut = [](ChartDocument& d) { return d.cutBlock(); };
    auto mirrorH = [](ChartDocument& d) { return d.mirrorBlockHorizontally(); };
    auto mirrorV = [](ChartDocument& d) { return d.mirrorBlockVertically(); };
    const Case cases[] = {
        {"clear", {"kpkp", "pkpk"}, {0, 1, 2, 2}, clear, {"k..p", "p..k"}},
        {"clear widened", {"kRkp", "kkkk"}, {0, 2, 1, 1}, clear, {"k..p", "kkkk"}},
        {"clear empty", {"k..p"}, {0, 1, 1, 2}, clear, {"k..p"}, Result::Unchanged},
        {"cut", {"kpkp"}, {0, 0, 1, 2}, cut, {"..kp"}},
        {"fill", {"kkkkk"}, {0, 0, 1, 5}, fillWith('p'), {"ppppp"}},
        {"fill wide", {"kpkpk", "ppppp"}, {0, 0, 2, 5}, fillWith('C'), {"C...k", "C...p"}},
        {"fill two wide", {"kkkk"}, {0, 0, 1, 4}, fillWith('R'), {"R.R."}},
        {"too wide", {"kkk"}, {0, 0, 1, 3}, fillWith('C'), {"kkk"}, Result::StitchTooWide},
        {"mirror left-right", {"k/Rkp", "kXppk"}, {0, 0, 2, 5}, mirrorH, {"pLk\\k", "kpXpk"}},
        {"mirror part", {"kk/k", "pkkk"}, {0, 1, 1, 2}, mirrorH, {"k\\kk", "pkkk"}},
        {"mirror top-bottom", {"kp", "pk", "//"}, {0, 0, 3, 2}, mirrorV, {"//", "pk", "kp"}},
        {"mirror symmetric", {"kpk"}, {0, 0, 1, 3}, mirrorH, {"kpk"}, Result::Unchanged},
        {"no block", {"kp"}, {}, clear, {"kp"}, Result::NeedBlock},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        load(c.before);
        doc.block = c.block;
        doc.SetUnChanged();
        EXPECT_EQ(c.command(doc), c.result);
        EXPECT_EQ(rows(), c.after);
        expectReferencesCounted(doc);
        if (c.result != Result::Done) {
            EXPECT_FALSE(doc.history.canUndo());
            continue;
        }
        const CellBlock after = doc.block;
        ASSERT_EQ(doc.history.undoCount(), 1u);
        EXPECT_EQ(doc.history.undoText().section(' ', 0, 0), QStringLiteral("Block"));
        const ChartHistory::Outcome undone = doc.history.undo();
        EXPECT_TRUE(undone.done);
        EXPECT_FALSE(undone.changed);
        EXPECT_EQ(rows(), c.before);
        EXPECT_EQ(doc.block, c.block);
        EXPECT_TRUE(doc.history.redo().changed);
        EXPECT_EQ(rows(), c.after);
        EXPECT_EQ(doc.block, after);
        expectReferencesCounted(doc);
    }
}

TEST_F(Blocks, PastingGrowsTheChartClipsAtWholeStitchesOrRefusesToCut) {
    load({"kpkk", "pkkk", "kkkk"});
    EXPECT_EQ(doc.pasteBlock(ChartDocument::PasteFit::Grow), Result::NeedBlock);
    doc.block = {2, 2, 1, 1};
    EXPECT_EQ(doc.pasteBlock(ChartDocument::PasteFit::Grow), Result::NothingCopied);
    doc.block = {0, 0, 2, 2};
    EXPECT_EQ(doc.copyBlock(), Result::Unchanged); // copying changes nothing
    EXPECT_FALSE(doc.history.canUndo());

    doc.block = {1, 2, 1, 1};
    EXPECT_FALSE(doc.pasteGrowth().any());
    EXPECT_EQ(doc.pasteBlock(ChartDocument::PasteFit::Grow), Result::Done);
    EXPECT_EQ(rows(), (QStringList{"kpkk", "pkkp", "kkpk"}));
    EXPECT_EQ(doc.block, (CellBlock{1, 2, 2, 2})); // the pasted cells

    // Past the corner: one row and one column more, filled with the first library stitch.
    doc.block = {2, 3, 1, 1};
    const ChartDocument::Growth growth = doc.pasteGrowth();
    EXPECT_EQ(growth.rows, 1);
    EXPECT_EQ(growth.columns, 1);
    EXPECT_EQ(doc.pasteBlock(ChartDocument::PasteFit::Grow), Result::Done);
    EXPECT_EQ(rows(), (QStringList{"kpkkk", "pkkpk", "kkpkp", "kkkpk"}));
    expectReferencesCounted(doc);
    EXPECT_TRUE(doc.history.undo().layoutChanged);
    EXPECT_EQ(rows(), (QStringList{"kpkk", "pkkp", "kkpk"}));
    EXPECT_EQ(doc.block, (CellBlock{2, 3, 1, 1}));
    doc.history.redo();
    EXPECT_EQ(rows(), (QStringList{"kpkkk", "pkkpk", "kkpkp", "kkkpk"}));
    doc.history.undo();

    // Or only what fits.
    doc.block = {2, 2, 1, 1};
    EXPECT_EQ(doc.pasteBlock(ChartDocument::PasteFit::Clip), Result::Done);
    EXPECT_EQ(rows(), (QStringList{"kpkk", "pkkp", "kkkp"}));
    EXPECT_EQ(doc.block, (CellBlock{2, 2, 1, 2}));

    // A copied cable is not cut at the chart's side, and no stitch reaching in from the left
    // is cut by a paste.
    load({"kRkk", "pppp"});
    doc.block = {0, 0, 1, 3};
    doc.copyBlock();
    doc.block = {1, 2, 1, 1};
    EXPECT_EQ(doc.pasteBlock(ChartDocument::PasteFit::Clip), Result::Done);
    EXPECT_EQ(rows(), (QStringList{"kRkk", "ppkp"})); // only the first cell fitted
    EXPECT_EQ(doc.block, (CellBlock{1, 2, 1, 1}));
    doc.block = {1, 1, 1, 1};
    EXPECT_EQ(doc.pasteBlock(ChartDocument::PasteFit::Grow), Result::Done);
    EXPECT_EQ(rows(), (QStringList{"kRkk", "pkRk"}));
    doc.block = {0, 2, 1, 1};
    EXPECT_EQ(doc.pasteBlock(ChartDocument::PasteFit::Grow), Result::WouldCutStitch);
    EXPECT_EQ(rows(), (QStringList{"kRkk", "pkRk"}));
    expectReferencesCounted(doc);
    // The copied block stays for any number of pastes, also into a new chart.
    load({"ppp"});
    doc.block = {0, 0, 1, 1};
    EXPECT_EQ(doc.pasteBlock(ChartDocument::PasteFit::Clip), Result::Done);
    EXPECT_EQ(rows(), (QStringList{"kRk"}));
}

TEST_F(Blocks, TheBlockFollowsItsCellsAndGoesWithTheChart) {
    load({"kkk", "kkk", "kkk"});
    doc.block = {1, 1, 1, 2};
    doc.insertRowAbove(); // no mark: above the top row
    EXPECT_EQ(doc.block, (CellBlock{2, 1, 1, 2}));
    doc.deleteFirstColumn();
    EXPECT_EQ(doc.block, (CellBlock{2, 0, 1, 2}));
    doc.history.undo();
    doc.history.undo();
    EXPECT_EQ(doc.block, (CellBlock{1, 1, 1, 2}));
    doc.deleteBottomRow();
    doc.deleteBottomRow();
    EXPECT_TRUE(doc.block.isEmpty());
    doc.block = {0, 0, 1, 1};
    ASSERT_TRUE(doc.buildChart(2, 2, 0));
    EXPECT_TRUE(doc.block.isEmpty());
}
