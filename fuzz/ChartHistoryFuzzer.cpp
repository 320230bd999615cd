// Any sequence of clicks, grid commands, settings edits, saves, undos and redos on a small
// chart, under any history budget: every undo and redo gives back exactly the state it should,
// the shared pictures are counted once per holder, the history keeps to its budget, and the
// history never calls a chart unchanged that differs from the one last saved.
#include "FuzzSupport.h"
#include "designer/ChartDocument.h"
#include "foundation/OwnedText.h"
#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <cstdlib>
#include <deque>
#include <map>

namespace {

constexpr int kCell = 24;
constexpr int kLeft = 40;
constexpr int kTop = 40;

struct State {
    int rows = 0;
    int columns = 0;
    bool row = false;
    bool column = false;
    int rownr = 0;
    int colnr = 0;
    int firstRow = 0; // the one setting edited here
    QStringList cells;
    bool operator==(const State&) const = default;
    bool sameChart(const State& o) const {
        return rows == o.rows && columns == o.columns && cells == o.cells;
    }
};

State stateOf(const ChartDocument& doc, int firstRow) {
    State s{doc.azeilen, doc.aspalten, doc.selectrow, doc.selectcol,
            doc.rownr,   doc.colnr,    firstRow,      {}};
    for (int r = 0; r < doc.azeilen; ++r) {
        for (int c = 0; c < doc.aspalten; ++c) {
            const TFeld& cell = doc.cellAt(r, c);
            s.cells << (cell.belegt ? ownedTextToString(cell.stich->bezeichnung) +
                                          QString::number(cell.breite)
                                    : QStringLiteral("-"));
        }
    }
    return s;
}

void layOut(ChartDocument& doc) {
    for (int r = 0; r < doc.azeilen; ++r) {
        for (int c = 0; c < doc.aspalten; ++c) {
            doc.cellAt(r, c).feldrect = {kLeft + kCell * c + 1, kTop + kCell * r + 1,
                                         kLeft + kCell * (c + 1), kTop + kCell * (r + 1)};
        }
    }
}

void checkReferences(const ChartDocument& doc) {
    std::map<const SharedStitch*, std::uint32_t> holders;
    auto count = [&](const TDynaArrayOf<TFeld>& cells) {
        for (const TFeld& cell : cells) {
            if (cell.belegt != (cell.stich != nullptr)) {
                std::abort();
            }
            if (cell.stich) {
                ++holders[cell.stich];
            }
        }
    };
    for (TZeile row : doc.zeilen) {
        count(*row);
    }
    count(doc.copyzeile);
    count(doc.copyspalte);
    doc.history.visitReferences([&](const SharedStitch* record) { ++holders[record]; });
    if (doc.pool.size() != holders.size()) {
        std::abort();
    }
    for (const auto& [record, n] : holders) {
        if (record->refs != n) {
            std::abort();
        }
    }
}

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    ensureFuzzApplication();
    setMessageSink([](MessageIcon, const QString&, const QString&) {});
    ChartDocument doc;
    const char* names[] = {"A", "B", "C"};
    for (int k = 0; k < 3; ++k) {
        TStich* s = doc.stiche.Add();
        s->bezeichnung = ownedTextFromString(QString::fromLatin1(names[k]));
        s->breite = k + 1; // 1 to 3 cells wide
        grafikrw3::newdib(&s->di, 4 + k, 3, 8, nullptr, 0);
    }
    const int rows = 1 + data[0] % 5;
    const int columns = 1 + data[1] % 5;
    // From a few steps up to no limit at all.
    const std::uint64_t budget = data[2] == 255 ? ~std::uint64_t(0) : std::uint64_t(data[2]) * 16;
    data += 3;
    size -= 3;
    if (!doc.buildChart(rows, columns, 0)) {
        return 0;
    }
    // Cells that differ, so that every command shows.
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            doc.releaseCell(doc.cellAt(r, c));
            doc.placeStitch(doc.cellAt(r, c), *doc.stiche.at(std::uint32_t(r + 2 * c) % 3));
        }
    }
    doc.cellsChanged();
    doc.history.clear();
    doc.history.setBudget(budget);
    layOut(doc);
    doc.SetUnChanged();

    int firstRow = 0;
    PageSettings settings;
    State saved = stateOf(doc, firstRow);
    // The states the history can reach, by their number since it began: timeline[0] is state
    // number doc.history.dropped().
    std::deque<State> timeline{saved};
    auto present = [&] { return doc.history.dropped() + std::int64_t(doc.history.undoCount()); };

    for (std::size_t k = 0; k + 1 < size; k += 2) {
        const int op = data[k] % 24;
        const int arg = data[k + 1];
        const std::int64_t droppedBefore = doc.history.dropped();
        const std::int64_t presentBefore = present();
        const std::uint64_t revisionBefore = doc.history.revision();
        const State before = stateOf(doc, firstRow);
        using Result = ChartDocument::EditResult;
        Result result = Result::Unchanged;
        bool moved = false; // an undo or redo ran
        switch (op) {
        case 0:
            result = doc.insertColumnLeft();
            break;
        case 1:
            result = doc.insertColumnRight();
            break;
        case 2:
            result = doc.deleteMarkedColumn();
            break;
        case 3:
            result = doc.deleteFirstColumn();
            break;
        case 4:
            result = doc.deleteLastColumn();
            break;
        case 5:
            result = doc.copyColumn();
            break;
        case 6:
            result = doc.pasteColumn();
            break;
        case 7:
            result = doc.insertRowAbove();
            break;
        case 8:
            result = doc.insertRowBelow();
            break;
        case 9:
            result = doc.deleteMarkedRow();
            break;
        case 10:
            result = doc.deleteTopRow();
            break;
        case 11:
            result = doc.deleteBottomRow();
            break;
        case 12:
            result = doc.copyRow();
            break;
        case 13:
            result = doc.pasteRow();
            break;
        case 14:
            result = doc.shiftRowLeft();
            break;
        case 15:
            result = doc.shiftRowRight();
            break;
        case 16: {
            // A cell, with one of the stitches.
            doc.stichnr = arg % 3;
            const int c = (arg / 3) % 6;
            const int r = (arg / 18) % 6;
            if (doc.clickAt(kLeft + kCell * c + 12, kTop + kCell * r + 12, true).changed) {
                result = Result::Done;
            }
            break;
        }
        case 17: {
            // The number box of a row or a column, or the corner.
            const int n = (arg / 2) % 7 - 1;
            const bool row = arg & 1;
            doc.clickAt(row || n < 0 ? kLeft - 12 : kLeft + kCell * n + 12,
                        !row || n < 0 ? kTop - 12 : kTop + kCell * n + 12, true);
            break;
        }
        case 18: {
            PageSettings now = settings;
            now.firstRow = arg;
            doc.history.recordSettings(settings, now);
            settings = now;
            firstRow = arg;
            break;
        }
        case 19:
            doc.history.sealMerging();
            break;
        case 20:
            doc.SetUnChanged();
            saved = before;
            break;
        case 21:
        case 22: {
            const ChartHistory::Outcome out = op == 22 ? doc.history.redo() : doc.history.undo();
            if (out.settings) {
                settings = *out.settings;
                firstRow = settings.firstRow;
            }
            moved = out.done;
            if (out.done) {
                // Never "unchanged" while the chart differs from the one saved.
                check(out.changed || stateOf(doc, firstRow).sameChart(saved));
            }
            break;
        }
        default:
            doc.history.setBudget(arg == 255 ? ~std::uint64_t(0) : std::uint64_t(arg) * 16);
            break;
        }
        if (result == Result::Done) {
            doc.SetChanged(); // as the window does after a change
        }
        layOut(doc); // as the repaint after every change would
        checkReferences(doc);
        check(doc.history.bytes() <= doc.history.budget() || doc.history.undoCount() == 0);
        check(doc.history.differsFromSaved() || stateOf(doc, firstRow).sameChart(saved));

        const State after = stateOf(doc, firstRow);
        const std::int64_t now = present();
        // Where the timeline stood before, counted from its front.
        auto at = [&](std::int64_t state) { return std::size_t(state - droppedBefore); };
        if (doc.history.revision() == revisionBefore) {
            check(after == before); // every change is a step
        } else if (!moved) {
            if (now == presentBefore + 1) { // a new step: what could be redone goes
                timeline.resize(at(presentBefore) + 1);
                timeline.push_back(after);
            } else if (now == presentBefore && op == 18) { // merged into the last step
                timeline.resize(at(now) + 1);
                timeline.back() = after;
            } else if (now == presentBefore - 1 && op == 18) { // typed back: step gone
                timeline.resize(at(now) + 1);
            } else {
                check(now == presentBefore && op == 23);
            }
        }
        // Steps dropped for the budget, old ones and those to redo, take their states along.
        while (!timeline.empty() && droppedBefore + std::int64_t(timeline.size()) - 1 >
                                        now + std::int64_t(doc.history.redoCount())) {
            timeline.pop_back();
        }
        timeline.erase(timeline.begin(),
                       timeline.begin() + std::ptrdiff_t(doc.history.dropped() - droppedBefore));
        check(timeline.size() == doc.history.undoCount() + doc.history.redoCount() + 1);
        check(timeline[doc.history.undoCount()] == after);
    }

    // Everything undone gives the oldest state kept.
    while (doc.history.canUndo()) {
        check(doc.history.undo().done);
    }
    check(stateOf(doc, firstRow).cells == timeline.front().cells);
    doc.history.clear();
    checkReferences(doc);
    return 0;
}
