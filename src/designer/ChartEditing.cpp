// Grid editing of the chart document: clicks, inserting, deleting, copying, pasting and
// shifting rows and columns.
#include "ChartDocument.h"

#include "foundation/DibCopy.h"
#include "foundation/UserMessage.h"

#include <algorithm>

namespace {

void reportShortage() {
    showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
}

// Stands for "the whole page" where a change cannot be placed more closely.
const QRect kWholePage(0, 0, 1 << 30, 1 << 30);

} // namespace

void ChartDocument::releaseCell(TFeld& cell) {
    pool.release(cell.stich);
    cell.belegt = false;
    cell.stich = nullptr;
    cell.breite = 0;
}

const TStich* ChartDocument::fillStitch() const {
    return stiche.count > 0 ? stiche.at(0) : nullptr;
}

void ChartDocument::copyCell(TFeld& target, const TFeld& source) {
    // Content never changes once placed, so a copy is one more reference to the same record.
    target.belegt = source.belegt;
    target.breite = source.belegt ? source.breite : 0;
    target.stich = source.belegt ? source.stich : nullptr;
    StitchPool::retain(target.stich);
}

QRect ChartDocument::cellArea(std::int32_t row, std::int32_t column, std::int32_t cells) const {
    const CellGrid& g = cellGrid;
    // The frame of a marked cell lies on the grid lines around it, its pen at most one pixel
    // wider than they are.
    const int margin = 2 * g.lw + 2;
    return QRect(g.left + g.c * column - margin, g.top + g.c * row - margin,
                 g.c * cells + g.lw + 2 * margin, g.c + g.lw + 2 * margin);
}

QRect ChartDocument::markArea(bool row, std::int32_t number) const {
    if (row) {
        return cellArea(number, 1, aspalten);
    }
    // A marked cell draws its symbol over the grid lines, and a wide one reaches up to nine
    // cells to the right.
    const QRect top = cellArea(1, number, kMaxStitchCells);
    return top.united(cellArea(azeilen, number, kMaxStitchCells));
}

bool ChartDocument::legendAfterPlacement(std::int32_t row, std::int32_t column, const TFeld& before,
                                         const TFeld& after) {
    if (!legendValid_) {
        return true;
    }
    // The line of a content, found by its fingerprint and confirmed by the cell it names. An
    // entry naming this cell stands for the content it held before.
    auto entryFor = [&](const TFeld& cell, bool old) -> const LegendEntry* {
        if (!cell.belegt) {
            return nullptr;
        }
        for (const LegendEntry& e : legend_) {
            if (e.key != cell.stich->legendKey) {
                continue;
            }
            const bool here = e.row == row && e.column == column;
            if (here ? old
                     : StitchPool::sameLegendLine(*cellAt(e.row, e.column).stich, *cell.stich)) {
                return &e;
            }
        }
        return nullptr;
    };
    auto isHere = [&](const LegendEntry* e) { return e && e->row == row && e->column == column; };
    auto isBefore = [&](const LegendEntry* e) {
        return e && (e->row < row || (e->row == row && e->column < column));
    };
    const LegendEntry* was = entryFor(before, true);
    const LegendEntry* now = entryFor(after, false);
    if (before.belegt && after.belegt && StitchPool::sameLegendLine(*before.stich, *after.stich)) {
        // The same line; only its box follows the width of this cell when it is the first.
        return isHere(was) && before.breite != after.breite;
    }
    // Lines are listed by their first cell: the new content may move up or come in, the old one
    // move down or go.
    const bool changed = (after.belegt && !isBefore(now)) || isHere(was);
    if (changed) {
        cellsChanged();
    }
    return changed;
}

ChartDocument::ClickResult ChartDocument::clickAt(std::int32_t x, std::int32_t y, bool chartShown) {
    ClickResult result;
    if (!chartShown || stichnr < 0 || std::uint32_t(stichnr) >= stiche.count) {
        return result;
    }
    ChartHistory::Recording recording(history, ChartStepKind::PlaceStitch);
    const TStich& stich = *stiche.at(std::uint32_t(stichnr));
    bool picturesOk = true;
    const bool laidOut = cellGrid.valid;
    const bool hadRow = selectrow;
    const bool hadColumn = selectcol;
    const std::int32_t oldRow = rownr;
    const std::int32_t oldColumn = colnr;
    bool legendChanged = false;

    // Every cell is tested against the rules, rows from the top and cells from the left; a
    // cell takes the first rule that matches.
    auto test = [&](std::int32_t r, std::int32_t s, TFeld& cell, std::int32_t cellsInRow) {
        const std::int64_t L = cell.feldrect.left, T = cell.feldrect.top;
        const std::int64_t R = cell.feldrect.right, B = cell.feldrect.bottom;
        const std::int64_t w = R - L;
        const std::int64_t h = B - T;
        const bool aboveCell = T - h <= y && y <= T;
        const bool beside = T <= y && y <= B;
        if (r == 1 && s == 1 && L - w <= x && x <= L && aboveCell) {
            selectrow = selectcol = false;
            result.repaint = true;
        } else if (r == 1 && L <= x && x <= R && aboveCell) {
            selectcol = true;
            selectrow = false;
            colnr = s;
            result.repaint = true;
        } else if ((s == 1 && beside && L - w <= x && x <= L) ||
                   (s == cellsInRow && beside && R <= x && x <= R + w)) {
            selectrow = true;
            selectcol = false;
            rownr = r;
            result.repaint = true;
        } else if (L <= x && x <= R && beside) {
            selectrow = selectcol = false;
            const TFeld before = cell;
            // The old content goes only after the new one is placed: re-placing the same
            // stitch then keeps its shared record instead of making it again.
            cell.belegt = false;
            cell.stich = nullptr;
            cell.breite = 0;
            if (!placeStitch(cell, stich)) {
                picturesOk = false;
            }
            legendChanged = legendAfterPlacement(r - 1, s - 1, before, cell) || legendChanged;
            history.noteCell(r - 1, s - 1, before, cell);
            pool.release(before.stich);
            if (laidOut) {
                const std::int32_t cells = std::max({before.breite, cell.breite, 1});
                result.dirty += cellArea(r, s, std::min(cells, kMaxStitchCells));
            }
            result.repaint = true;
            result.changed = true;
        }
    };

    // After a paint the cells lie on a regular grid: only cells within a few cells of the
    // point can match, which keeps clicks fast in large charts.
    std::int32_t firstRow = 1, lastRow = azeilen, firstCell = 1, lastCell = aspalten;
    constexpr int kSmallestGridCell = 4;
    if (cellGrid.valid && cellGrid.c >= kSmallestGridCell) {
        const std::int64_t row = (std::int64_t(y) - cellGrid.top) / cellGrid.c;
        const std::int64_t column = (std::int64_t(x) - cellGrid.left) / cellGrid.c;
        firstRow = std::int32_t(std::clamp<std::int64_t>(row - 2, 1, azeilen + 1));
        lastRow = std::int32_t(std::clamp<std::int64_t>(row + 2, 0, azeilen));
        firstCell = std::int32_t(std::clamp<std::int64_t>(column - 3, 1, aspalten + 1));
        lastCell = std::int32_t(std::clamp<std::int64_t>(column + 2, 0, aspalten));
    }
    for (std::int32_t r = firstRow; r <= lastRow; ++r) {
        TDynaArrayOf<TFeld>& row = *zeilen[std::uint32_t(r - 1)];
        const std::int32_t cells = std::int32_t(row.count);
        for (std::int32_t s = firstCell; s <= std::min(lastCell, cells); ++s) {
            test(r, s, row[std::uint32_t(s - 1)], cells);
        }
    }
    if (!picturesOk) {
        reportShortage();
    }
    if (!laidOut) {
        result.dirty = result.repaint ? QRegion(kWholePage) : QRegion();
        return result;
    }
    if (hadRow != selectrow || oldRow != rownr) {
        result.dirty += hadRow ? QRegion(markArea(true, oldRow)) : QRegion();
        result.dirty += selectrow ? QRegion(markArea(true, rownr)) : QRegion();
    }
    if (hadColumn != selectcol || oldColumn != colnr) {
        result.dirty += hadColumn ? QRegion(markArea(false, oldColumn)) : QRegion();
        result.dirty += selectcol ? QRegion(markArea(false, colnr)) : QRegion();
    }
    if (legendChanged) {
        // The legend stands below the grid; the text under the chart follows it.
        const int top = cellGrid.top + cellGrid.c * (azeilen + 2);
        result.dirty += QRect(0, top, kWholePage.width(), kWholePage.height());
    }
    return result;
}

ChartDocument::EditResult ChartDocument::insertColumnAt(std::uint32_t position) {
    const TStich* fill = fillStitch();
    bool picturesOk = true;
    TFeld filled; // the first new cell, copied into the others
    std::uint32_t done = 0;
    for (TZeile row : zeilen) {
        TFeld* cell = row->Insert(std::int32_t(position));
        if (!cell) {
            // Take the new cells out again: every row keeps the same number of cells.
            for (std::uint32_t k = 0; k < done; ++k) {
                TZeile undone = zeilen[k];
                releaseCell((*undone)[position]);
                undone->Delete(std::int32_t(position));
            }
            return EditResult::Unchanged;
        }
        if (filled.belegt) {
            copyCell(*cell, filled);
        } else if (fill && picturesOk) {
            picturesOk = placeStitch(*cell, *fill);
            filled = *cell;
        }
        ++done;
    }
    history.noteColumn(std::int32_t(position), true);
    ++aspalten;
    linesMoved(true, std::int32_t(position), 1);
    cellGrid.valid = false;
    cellsChanged();
    if (!picturesOk) {
        reportShortage();
    }
    return EditResult::Done;
}

ChartDocument::EditResult ChartDocument::insertRowAt(std::uint32_t position) {
    TZeile row = newRow();
    if (!row) {
        reportShortage();
        return EditResult::Unchanged;
    }
    const TStich* fill = fillStitch();
    bool picturesOk = true;
    TFeld filled;
    for (std::int32_t c = 0; c < aspalten; ++c) {
        TFeld* cell = row->Add();
        if (!cell) {
            releaseCells(*row);
            delete row;
            return EditResult::Unchanged;
        }
        if (filled.belegt) {
            copyCell(*cell, filled);
        } else if (fill && picturesOk) {
            picturesOk = placeStitch(*cell, *fill);
            filled = *cell;
        }
    }
    TZeile* slot = zeilen.Insert(std::int32_t(position));
    if (!slot) {
        releaseCells(*row);
        delete row;
        return EditResult::Unchanged;
    }
    *slot = row;
    ++azeilen;
    history.noteRow(std::int32_t(position), true);
    linesMoved(false, std::int32_t(position), 1);
    cellGrid.valid = false;
    cellsChanged();
    if (!picturesOk) {
        reportShortage();
    }
    return EditResult::Done;
}

ChartDocument::EditResult ChartDocument::insertColumnLeft() {
    ChartHistory::Recording recording(history, ChartStepKind::InsertColumnLeft);
    if (!columnMarked()) {
        colnr = 1;
    }
    const EditResult result = insertColumnAt(std::uint32_t(colnr - 1));
    if (result == EditResult::Done) {
        ++colnr;
    }
    return result;
}

ChartDocument::EditResult ChartDocument::insertColumnRight() {
    ChartHistory::Recording recording(history, ChartStepKind::InsertColumnRight);
    if (!columnMarked()) {
        colnr = aspalten;
    }
    return insertColumnAt(std::uint32_t(colnr));
}

ChartDocument::EditResult ChartDocument::insertRowAbove() {
    ChartHistory::Recording recording(history, ChartStepKind::InsertRowAbove);
    if (!rowMarked()) {
        rownr = 1;
    }
    const EditResult result = insertRowAt(std::uint32_t(rownr - 1));
    if (result == EditResult::Done) {
        ++rownr;
    }
    return result;
}

ChartDocument::EditResult ChartDocument::insertRowBelow() {
    ChartHistory::Recording recording(history, ChartStepKind::InsertRowBelow);
    if (!rowMarked()) {
        rownr = azeilen;
    }
    return insertRowAt(std::uint32_t(rownr));
}

void ChartDocument::deleteColumnAt(std::uint32_t position) {
    history.noteColumn(std::int32_t(position), false);
    for (TZeile row : zeilen) {
        releaseCell((*row)[position]);
        row->Delete(std::int32_t(position));
    }
    --aspalten;
    linesMoved(true, std::int32_t(position), -1);
    cellGrid.valid = false;
    cellsChanged();
}

void ChartDocument::deleteRowAt(std::uint32_t position) {
    history.noteRow(std::int32_t(position), false);
    TZeile row = zeilen[position];
    releaseCells(*row);
    delete row;
    zeilen.Delete(std::int32_t(position));
    --azeilen;
    linesMoved(false, std::int32_t(position), -1);
    cellGrid.valid = false;
    cellsChanged();
}

ChartDocument::EditResult ChartDocument::deleteMarkedColumn() {
    ChartHistory::Recording recording(history, ChartStepKind::DeleteMarkedColumn);
    if (!columnMarked() || aspalten < 2) {
        return EditResult::Unchanged;
    }
    deleteColumnAt(std::uint32_t(colnr - 1));
    if (colnr > 1) {
        --colnr;
    }
    return EditResult::Done;
}

ChartDocument::EditResult ChartDocument::deleteFirstColumn() {
    ChartHistory::Recording recording(history, ChartStepKind::DeleteFirstColumn);
    if (aspalten < 2) {
        return EditResult::Unchanged;
    }
    deleteColumnAt(0);
    if (colnr > 1) {
        --colnr;
    }
    return EditResult::Done;
}

ChartDocument::EditResult ChartDocument::deleteLastColumn() {
    ChartHistory::Recording recording(history, ChartStepKind::DeleteLastColumn);
    if (aspalten < 2) {
        return EditResult::Unchanged;
    }
    if (colnr >= aspalten - 1) {
        colnr = aspalten - 1;
    }
    deleteColumnAt(std::uint32_t(aspalten - 1));
    return EditResult::Done;
}

ChartDocument::EditResult ChartDocument::deleteMarkedRow() {
    ChartHistory::Recording recording(history, ChartStepKind::DeleteMarkedRow);
    if (!rowMarked() || azeilen < 2) {
        return EditResult::Unchanged;
    }
    deleteRowAt(std::uint32_t(rownr - 1));
    if (rownr > 1) {
        --rownr;
    }
    return EditResult::Done;
}

ChartDocument::EditResult ChartDocument::deleteTopRow() {
    ChartHistory::Recording recording(history, ChartStepKind::DeleteTopRow);
    if (azeilen < 2) {
        return EditResult::Unchanged;
    }
    deleteRowAt(0);
    if (rownr > 1) {
        --rownr;
    }
    return EditResult::Done;
}

ChartDocument::EditResult ChartDocument::deleteBottomRow() {
    ChartHistory::Recording recording(history, ChartStepKind::DeleteBottomRow);
    if (azeilen < 2) {
        return EditResult::Unchanged;
    }
    if (rownr >= azeilen - 1) {
        rownr = azeilen - 1;
    }
    deleteRowAt(std::uint32_t(azeilen - 1));
    return EditResult::Done;
}

ChartDocument::EditResult ChartDocument::copyColumn() {
    if (!columnMarked() || aspalten < 2) {
        return EditResult::NeedColumnMark;
    }
    Freecopyspalte();
    for (TZeile row : zeilen) {
        TFeld* record = copyspalte.Add();
        if (!record) {
            Freecopyspalte();
            return EditResult::Unchanged;
        }
        copyCell(*record, (*row)[std::uint32_t(colnr - 1)]);
    }
    return EditResult::Unchanged;
}

ChartDocument::EditResult ChartDocument::copyRow() {
    if (!rowMarked() || azeilen < 2) {
        return EditResult::NeedRowMark;
    }
    Freecopyzeile();
    for (const TFeld& cell : *zeilen[std::uint32_t(rownr - 1)]) {
        TFeld* record = copyzeile.Add();
        if (!record) {
            Freecopyzeile();
            return EditResult::Unchanged;
        }
        copyCell(*record, cell);
    }
    return EditResult::Unchanged;
}

ChartDocument::EditResult ChartDocument::pasteColumn() {
    ChartHistory::Recording recording(history, ChartStepKind::PasteColumn);
    if (!columnMarked() || aspalten < 2) {
        return EditResult::NeedColumnMark;
    }
    if (copyspalte.count == 0) {
        return EditResult::Unchanged; // nothing copied yet
    }
    history.noteColumn(colnr - 1, false);
    std::uint32_t k = 0;
    for (TZeile row : zeilen) {
        TFeld& target = (*row)[std::uint32_t(colnr - 1)];
        releaseCell(target);
        // A shorter buffer repeats its last record for the remaining rows.
        copyCell(target, copyspalte[std::min(k, copyspalte.count - 1)]);
        ++k;
    }
    history.noteColumn(colnr - 1, true);
    cellsChanged();
    return EditResult::Done;
}

ChartDocument::EditResult ChartDocument::pasteRow() {
    ChartHistory::Recording recording(history, ChartStepKind::PasteRow);
    if (!rowMarked() || azeilen < 2) {
        return EditResult::NeedRowMark;
    }
    if (copyzeile.count == 0) {
        return EditResult::Unchanged;
    }
    history.noteRow(rownr - 1, false);
    std::uint32_t j = 0;
    for (TFeld& target : *zeilen[std::uint32_t(rownr - 1)]) {
        releaseCell(target);
        copyCell(target, copyzeile[std::min(j, copyzeile.count - 1)]);
        ++j;
    }
    history.noteRow(rownr - 1, true);
    cellsChanged();
    return EditResult::Done;
}

ChartDocument::EditResult ChartDocument::shiftRowLeft() {
    ChartHistory::Recording recording(history, ChartStepKind::ShiftRowLeft);
    if (!rowMarked() || azeilen < 2) {
        return EditResult::NeedRowMark;
    }
    history.noteLine(rownr - 1);
    TDynaArrayOf<TFeld>& row = *zeilen[std::uint32_t(rownr - 1)];
    std::rotate(row.begin(), row.begin() + 1, row.end());
    cellGrid.valid = false;
    cellsChanged();
    return EditResult::Done;
}

ChartDocument::EditResult ChartDocument::shiftRowRight() {
    ChartHistory::Recording recording(history, ChartStepKind::ShiftRowRight);
    if (!rowMarked() || azeilen < 2) {
        return EditResult::NeedRowMark;
    }
    history.noteLine(rownr - 1);
    TDynaArrayOf<TFeld>& row = *zeilen[std::uint32_t(rownr - 1)];
    std::rotate(row.begin(), row.end() - 1, row.end());
    cellGrid.valid = false;
    cellsChanged();
    return EditResult::Done;
}
