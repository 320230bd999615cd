#include "designer/ChartDocument.h"
#include "designer/ColourworkStitches.h"
#include "designer/PageRenderer.h"

#include "FileTestHelpers.h"
#include "Pictures.h"
#include "ReferenceCounts.h"
#include "TestSupport.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

constexpr int kCell = 24;
constexpr int kLeft = 100;
constexpr int kTop = 200;

// Everything a step may change: size, marks, and every cell's name and width.
struct State {
    int rows = 0;
    int columns = 0;
    bool row = false;
    bool column = false;
    int rownr = 0;
    int colnr = 0;
    QStringList cells;
    bool operator==(const State&) const = default;
};

void PrintTo(const State& s, std::ostream* os) {
    *os << s.rows << "x" << s.columns << " marks " << s.row << s.rownr << "/" << s.column << s.colnr
        << " " << s.cells.join(QLatin1Char(' ')).toStdString();
}

// A 4 x 5 chart whose cells are named after their position ("r,c"); library stitch 0 is "neu"
// (1 cell wide), stitch 1 "breit" (2 cells).
class History : public ::testing::Test {
public:
    std::unique_ptr<ChartDocument> owned;
    MessageCapture messages;

    void SetUp() override { fresh(); }
    ChartDocument& doc() { return *owned; }

    void fresh(int rows = 4, int columns = 5) {
        owned = std::make_unique<ChartDocument>();
        fillStitch(*doc().stiche.Add(), QStringLiteral("neu"), 1, makePatternPicture(4, 4, 8));
        fillStitch(*doc().stiche.Add(), QStringLiteral("breit"), 2, makePatternPicture(6, 3, 24));
        ASSERT_TRUE(doc().buildChart(rows, columns, -1));
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                fillCell(doc(), doc().cellAt(r, c), QStringLiteral("%1,%2").arg(r).arg(c), 1,
                         makePatternPicture(2, 2, 8));
            }
        }
        layOut();
        doc().SetUnChanged();
    }
    // The cell rectangles a paint would record: a grid from (kLeft, kTop).
    void layOut() {
        for (int r = 0; r < doc().azeilen; ++r) {
            for (int c = 0; c < doc().aspalten; ++c) {
                doc().cellAt(r, c).feldrect = {kLeft + kCell * c + 1, kTop + kCell * r + 1,
                                               kLeft + kCell * (c + 1), kTop + kCell * (r + 1)};
            }
        }
    }
    ChartDocument::ClickResult clickCell(int r, int c) {
        return doc().clickAt(kLeft + kCell * c + 10, kTop + kCell * r + 10, true);
    }
    State state() {
        State s{doc().azeilen,
                doc().aspalten,
                doc().selectrow,
                doc().selectcol,
                doc().rownr,
                doc().colnr,
                {}};
        for (int r = 0; r < doc().azeilen; ++r) {
            for (int c = 0; c < doc().aspalten; ++c) {
                const TFeld& cell = doc().cellAt(r, c);
                s.cells << (cell.belegt ? ownedTextToString(cell.stich->bezeichnung) +
                                              QLatin1Char('/') + QString::number(cell.breite)
                                        : QStringLiteral("-"));
            }
        }
        return s;
    }
    void mark(bool row, int number) {
        doc().selectrow = row;
        doc().selectcol = !row;
        (row ? doc().rownr : doc().colnr) = number;
    }
};

struct Case {
    const char* undoText;
    std::function<void(History&)> prepare;
    std::function<void(History&)> command;
};

} // namespace

TEST_F(History, EveryKindOfStepIsUndoneAndRedoneExactly) {
    const std::vector<Case> cases = {
        {"Stich setzen",
         [](History& h) {
             h.mark(false, 2);
             h.doc().stichnr = 1;
         },
         [](History& h) { h.clickCell(1, 2); }},
        {"Spalte markieren", [](History& h) { h.mark(true, 3); },
         [](History& h) { h.doc().clickAt(kLeft + kCell * 2 + 10, kTop - 10, true); }},
        {"Zeile markieren", [](History&) {},
         [](History& h) { h.doc().clickAt(kLeft - 10, kTop + kCell + 10, true); }},
        {"Markierung aufheben", [](History& h) { h.mark(true, 2); },
         [](History& h) { h.doc().clickAt(kLeft - 10, kTop - 10, true); }},
        {"Neue Spalte links", [](History& h) { h.mark(false, 2); },
         [](History& h) { h.doc().insertColumnLeft(); }},
        {"Neue Spalte rechts", [](History&) {}, [](History& h) { h.doc().insertColumnRight(); }},
        {"Markierte Spalte löschen", [](History& h) { h.mark(false, 2); },
         [](History& h) { h.doc().deleteMarkedColumn(); }},
        {"Spalte ganz links löschen", [](History& h) { h.mark(false, 3); },
         [](History& h) { h.doc().deleteFirstColumn(); }},
        {"Spalte ganz rechts löschen", [](History& h) { h.mark(false, 5); },
         [](History& h) { h.doc().deleteLastColumn(); }},
        {"Spalte einfügen",
         [](History& h) {
             h.mark(false, 1);
             h.doc().copyColumn();
             h.doc().insertRowBelow(); // the buffer is a row short: its last cell repeats
             h.doc().history.clear();
             h.mark(false, 4);
         },
         [](History& h) { h.doc().pasteColumn(); }},
        {"Neue Zeile oben", [](History& h) { h.mark(true, 3); },
         [](History& h) { h.doc().insertRowAbove(); }},
        {"Neue Zeile unten", [](History&) {}, [](History& h) { h.doc().insertRowBelow(); }},
        {"Markierte Zeile löschen", [](History& h) { h.mark(true, 4); },
         [](History& h) { h.doc().deleteMarkedRow(); }},
        {"Zeile ganz oben löschen", [](History& h) { h.mark(true, 2); },
         [](History& h) { h.doc().deleteTopRow(); }},
        {"Zeile ganz unten löschen", [](History& h) { h.mark(true, 4); },
         [](History& h) { h.doc().deleteBottomRow(); }},
        {"Zeile einfügen",
         [](History& h) {
             h.mark(true, 1);
             h.doc().copyRow();
             h.mark(true, 3);
         },
         [](History& h) { h.doc().pasteRow(); }},
        {"Zeile nach links verschieben", [](History& h) { h.mark(true, 2); },
         [](History& h) { h.doc().shiftRowLeft(); }},
        {"Zeile nach rechts verschieben", [](History& h) { h.mark(true, 3); },
         [](History& h) { h.doc().shiftRowRight(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.undoText);
        fresh();
        c.prepare(*this);
        const State before = state();
        c.command(*this);
        const State after = state();
        ASSERT_NE(before, after);
        ASSERT_EQ(doc().history.undoText(), QString::fromUtf8(c.undoText));
        ASSERT_EQ(doc().history.undoCount(), 1u);

        for (int round = 0; round < 2; ++round) {
            ChartHistory::Outcome undone = doc().history.undo();
            EXPECT_TRUE(undone.done);
            EXPECT_EQ(state(), before);
            EXPECT_EQ(doc().history.redoText(), QString::fromUtf8(c.undoText));
            expectReferencesCounted(doc());
            EXPECT_FALSE(doc().history.undo().done); // nothing further back
            EXPECT_TRUE(doc().history.redo().done);
            EXPECT_EQ(state(), after);
            expectReferencesCounted(doc());
            layOut(); // as the repaint after the step would
        }
        EXPECT_TRUE(messages.texts().isEmpty());
    }
}

TEST_F(History, AStepHoldsOnlyWhatChangedAndRepaintsOnlyThat) {
    // The same click in a small and a large chart costs the history the same.
    doc().stichnr = 0;
    clickCell(1, 1);
    const std::uint64_t first = doc().history.bytes();
    clickCell(1, 1); // replaces a stitch that stays in use, as below
    const std::uint64_t small = doc().history.bytes() - first;

    owned = std::make_unique<ChartDocument>();
    fillStitch(*doc().stiche.Add(), QStringLiteral("neu"), 1, makePatternPicture(20, 20, 24));
    fillStitch(*doc().stiche.Add(), QStringLiteral("alt"), 1, makePatternPicture(20, 20, 24));
    ASSERT_TRUE(doc().buildChart(400, 400, 1));
    // "neu" is in the legend already, so that placing it elsewhere leaves the legend alone.
    doc().releaseCell(doc().cellAt(0, 0));
    ASSERT_TRUE(doc().placeStitch(doc().cellAt(0, 0), *doc().stiche.at(0)));
    doc().cellsChanged();
    // Lay the cells out as the screen does, painting only a corner of the page.
    PageSettings settings;
    QImage view(300, 300, QImage::Format_RGB32);
    {
        QPainter painter(&view);
        PageRenderer(doc(), settings, 96, false, 20000).Drawpage(painter, view.rect());
    }
    ASSERT_TRUE(doc().cellGrid.valid);
    const auto target = doc().cellAt(200, 300).feldrect;
    const auto click = doc().clickAt(target.left + 2, target.top + 2, true);
    ASSERT_TRUE(click.changed);
    EXPECT_EQ(doc().history.bytes(), small);
    EXPECT_LT(doc().history.bytes(), 1024u);

    const ChartHistory::Outcome undone = doc().history.undo();
    ASSERT_TRUE(undone.done);
    EXPECT_FALSE(undone.layoutChanged);
    EXPECT_EQ(ownedTextToString(doc().cellAt(200, 300).stich->bezeichnung), "alt");
    // The cell with the frame a mark would have, nothing more: the legend did not change.
    const QRect cell(target.left, target.top, target.right - target.left,
                     target.bottom - target.top);
    EXPECT_TRUE(undone.dirty.boundingRect().contains(cell));
    EXPECT_LT(undone.dirty.boundingRect().width(), 3 * doc().cellGrid.c);
    EXPECT_LT(undone.dirty.boundingRect().height(), 3 * doc().cellGrid.c);
    expectReferencesCounted(doc());
}

TEST_F(History, UndoingBackToTheSavedStateTakesTheChangedMarkAway) {
    auto change = [&](int r, int c) {
        clickCell(r, c);
        doc().SetChanged(); // as the window does after a click
    };
    change(0, 0);
    EXPECT_TRUE(doc().history.differsFromSaved());
    ChartHistory::Outcome out = doc().history.undo();
    EXPECT_FALSE(out.changed); // back at the loaded state
    EXPECT_TRUE(doc().history.redo().changed);

    change(0, 1);
    doc().SetUnChanged(); // saved after two clicks
    EXPECT_TRUE(doc().history.undo().changed);
    EXPECT_FALSE(doc().history.redo().changed);

    // Marks and settings do not change the chart: the state stays the saved one.
    doc().clickAt(kLeft - 10, kTop + 10, true); // marks row 1
    PageSettings settings, other;
    other.caption = QStringLiteral("Jacke");
    doc().history.recordSettings(settings, other);
    EXPECT_FALSE(doc().history.differsFromSaved());
    change(2, 2);
    EXPECT_TRUE(doc().history.differsFromSaved());
    EXPECT_FALSE(doc().history.undo().changed);
    EXPECT_FALSE(doc().history.undo().changed);
    EXPECT_FALSE(doc().history.undo().changed);
    EXPECT_TRUE(doc().history.undo().changed); // before the save

    // A new change after undoing past the saved state drops the steps that led there, and
    // with them the way back: the chart stays changed, however far it is undone.
    EXPECT_EQ(doc().history.redoCount(), 4u);
    change(3, 3);
    EXPECT_FALSE(doc().history.canRedo());
    EXPECT_EQ(doc().history.redoText(), QString());
    while (doc().history.canUndo()) {
        EXPECT_TRUE(doc().history.undo().changed);
    }
    expectReferencesCounted(doc());

    // A new chart that holds unsaved work (built from a picture) has no saved state at all,
    // and its history starts once every cell has its colour.
    colourwork::Chart picture;
    picture.rows = picture.columns = 3;
    picture.colours = {{10, 20, 30}, {200, 100, 0}};
    picture.uses = {5, 4};
    picture.cells = {0, 1, 0, 1, 0, 1, 0, 1, 0};
    // Views made again at the history's notice see the finished cells.
    QString seen;
    doc().history.onChange = [&] {
        const TFeld& cell = doc().cellAt(0, 1);
        seen = cell.belegt ? ownedTextToString(cell.stich->bezeichnung) : QStringLiteral("-");
    };
    ASSERT_EQ(colourwork::buildColourworkChart(doc(), picture, 1u << 30),
              colourwork::BuildStatus::Done);
    doc().history.onChange = nullptr;
    EXPECT_EQ(seen, QStringLiteral("Farbe 2"));
    layOut();
    EXPECT_FALSE(doc().history.canUndo());
    doc().SetChanged();
    EXPECT_TRUE(doc().history.differsFromSaved());
    change(1, 1);
    EXPECT_TRUE(doc().history.undo().changed);
}

TEST_F(History, TheBudgetDropsTheOldestStepsAndTheirPictures) {
    doc().stichnr = 0;
    clickCell(0, 0); // replaces "0,0", which no cell holds afterwards
    const std::uint64_t orphaning = doc().history.bytes();
    clickCell(0, 0); // replaces "neu", which the cell keeps
    const std::uint64_t sharing = doc().history.bytes() - orphaning;
    EXPECT_GT(orphaning, sharing); // the step keeps the only copy of the old picture

    fresh();
    doc().stichnr = 0;
    doc().history.setBudget(5 * orphaning + orphaning / 2);
    std::vector<State> states{state()};
    for (int k = 0; k < 20; ++k) {
        clickCell(k / 5, k % 5);
        doc().SetChanged();
        states.push_back(state());
        ASSERT_LE(doc().history.bytes(), doc().history.budget());
    }
    EXPECT_EQ(doc().history.undoCount(), 5u);
    expectReferencesCounted(doc());
    for (int k = 19; k >= 15; --k) {
        const ChartHistory::Outcome out = doc().history.undo();
        ASSERT_TRUE(out.done);
        EXPECT_TRUE(out.changed); // the saved state has gone with the oldest steps
        EXPECT_EQ(state(), states[std::size_t(k)]);
    }
    EXPECT_FALSE(doc().history.canUndo());
    // A smaller budget drops steps at once, those to redo first.
    doc().history.redo();
    doc().history.setBudget(orphaning);
    EXPECT_EQ(doc().history.undoCount() + doc().history.redoCount(), 1u);
    doc().history.setBudget(0);
    EXPECT_FALSE(doc().history.canUndo() || doc().history.canRedo());
    expectReferencesCounted(doc());
    EXPECT_EQ(doc().pool.size(), 5u); // "neu" and the four names still in the bottom row
}

TEST_F(History, ANewChangeClearsWhatCouldBeRedone) {
    doc().stichnr = 1;
    clickCell(0, 0);
    doc().insertRowBelow();
    doc().history.undo();
    doc().history.undo();
    ASSERT_EQ(doc().history.redoCount(), 2u);
    doc().stichnr = 0;
    clickCell(2, 2);
    EXPECT_EQ(doc().history.redoCount(), 0u);
    EXPECT_EQ(doc().history.undoCount(), 1u);
    // The dropped steps gave their pictures back: "breit" is held by no one now.
    expectReferencesCounted(doc());
    EXPECT_FALSE(doc().history.redo().done);
    // A command that changes nothing (copying, a missing mark) is no step.
    doc().selectrow = doc().selectcol = false;
    EXPECT_EQ(doc().shiftRowLeft(), ChartDocument::EditResult::NeedRowMark);
    mark(false, 2);
    doc().copyColumn();
    EXPECT_EQ(doc().history.undoCount(), 1u);
}

TEST_F(History, ATypingBurstInOneSettingsFieldIsOneStep) {
    PageSettings typed;
    auto type = [&](const QString& caption) {
        PageSettings now = typed;
        now.caption = caption;
        doc().history.recordSettings(typed, now);
        typed = now;
    };
    const PageSettings original = typed;
    type(QStringLiteral("J"));
    type(QStringLiteral("Ja"));
    type(QStringLiteral("Jacke"));
    EXPECT_EQ(doc().history.undoCount(), 1u);
    EXPECT_EQ(doc().history.undoText(), QStringLiteral("Überschrift ändern"));
    doc().history.sealMerging(); // the field lost the focus
    type(QStringLiteral("Jacke 2"));
    PageSettings toggled = typed;
    toggled.legende = !toggled.legende;
    doc().history.recordSettings(typed, toggled);
    doc().history.recordSettings(toggled, typed); // check boxes never merge
    EXPECT_EQ(doc().history.undoCount(), 4u);
    EXPECT_FALSE(doc().history.differsFromSaved());

    doc().history.undo();
    doc().history.undo();
    ChartHistory::Outcome out = doc().history.undo();
    ASSERT_TRUE(out.settings.has_value());
    EXPECT_EQ(out.settings->caption, QStringLiteral("Jacke"));
    EXPECT_FALSE(out.layoutChanged);
    out = doc().history.undo();
    EXPECT_EQ(out.settings->caption, original.caption);
    EXPECT_EQ(doc().history.redo().settings->caption, QStringLiteral("Jacke"));

    // Typed and taken back again before the focus moved: nothing is left to undo.
    doc().history.clear();
    typed = original;
    type(QStringLiteral("X"));
    type(original.caption);
    EXPECT_FALSE(doc().history.canUndo());
}
