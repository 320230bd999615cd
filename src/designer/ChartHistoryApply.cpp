// Undoing and redoing the steps of a chart's history, and their names.
#include "ChartHistory.h"

#include "ChartDocument.h"
#include "PageSettingsFields.h"
#include "foundation/DibCopy.h"
#include "foundation/UserMessage.h"

#include <algorithm>

namespace {

// Stands for "the whole page" where a change cannot be placed more closely.
const QRect kWholePage(0, 0, 1 << 30, 1 << 30);

} // namespace

// --- undo and redo --------------------------------------------------------------------

ChartHistory::Outcome ChartHistory::undo() {
    return step(false);
}

ChartHistory::Outcome ChartHistory::redo() {
    return step(true);
}

ChartHistory::Outcome ChartHistory::step(bool forward) {
    Outcome out;
    if (forward ? !canRedo() : !canUndo()) {
        return out;
    }
    mergeOpen_ = false;
    const Step& s = steps_[forward ? position_ : position_ - 1];
    if (!fits(s, forward)) {
        // The cells were changed behind the history's back: its steps no longer fit.
        clear();
        forgetSaved();
        return out;
    }
    applying_ = true;
    const bool ok = apply(s, forward, out);
    applying_ = false;
    if (!ok) {
        out.noMemory = true;
        return out;
    }
    position_ = forward ? position_ + 1 : position_ - 1;
    out.done = true;
    out.changed = differsFromSaved();
    changed();
    return out;
}

namespace {

TFeld fieldOf(bool belegt, const SharedStitch* stich, std::int32_t breite) {
    TFeld f;
    f.belegt = belegt;
    f.stich = belegt ? stich : nullptr;
    f.breite = belegt ? breite : 0;
    return f;
}

} // namespace

bool ChartHistory::fits(const Step& s, bool forward) const {
    const std::int32_t rows = doc_.azeilen;
    const std::int32_t columns = doc_.aspalten;
    if (std::int32_t(doc_.zeilen.count) != rows) {
        return false;
    }
    auto total = [](const Runs& runs) {
        std::int64_t n = 0;
        for (const Run& r : runs) {
            n += r.count;
        }
        return n;
    };
    const std::int32_t line = s.line;
    auto inside = [&](const CellBlock& b) {
        return b.isEmpty() || b.clippedTo(rows, columns) == b;
    };
    auto cellsInside = [&](std::int32_t rowCount, std::int32_t columnCount) {
        return std::all_of(s.cells.begin(), s.cells.end(), [&](const CellChange& c) {
            return c.row >= 0 && c.row < rowCount && c.column >= 0 && c.column < columnCount;
        });
    };
    switch (s.kind) {
    case ChartStepKind::PlaceStitch:
        return cellsInside(rows, columns);
    case ChartStepKind::BlockCut:
    case ChartStepKind::BlockPaste:
    case ChartStepKind::BlockClear:
    case ChartStepKind::BlockFill:
    case ChartStepKind::BlockMirrorHorizontally:
    case ChartStepKind::BlockMirrorVertically:
        // Undoing takes the rows and columns the step added away again; redoing adds them.
        if (!forward && (rows <= s.grownRows || columns <= s.grownColumns)) {
            return false;
        }
        return forward ? cellsInside(rows + s.grownRows, columns + s.grownColumns)
                       : cellsInside(rows, columns);
    case ChartStepKind::InsertColumnLeft:
    case ChartStepKind::InsertColumnRight:
        return forward ? line >= 0 && line <= columns && total(s.after) == rows
                       : line >= 0 && line < columns && columns >= 2;
    case ChartStepKind::DeleteMarkedColumn:
    case ChartStepKind::DeleteFirstColumn:
    case ChartStepKind::DeleteLastColumn:
        return forward ? line >= 0 && line < columns && columns >= 2
                       : line >= 0 && line <= columns && total(s.before) == rows;
    case ChartStepKind::PasteColumn:
        return line >= 0 && line < columns && total(forward ? s.after : s.before) == rows;
    case ChartStepKind::InsertRowAbove:
    case ChartStepKind::InsertRowBelow:
        return forward ? line >= 0 && line <= rows && total(s.after) == columns
                       : line >= 0 && line < rows && rows >= 2;
    case ChartStepKind::DeleteMarkedRow:
    case ChartStepKind::DeleteTopRow:
    case ChartStepKind::DeleteBottomRow:
        return forward ? line >= 0 && line < rows && rows >= 2
                       : line >= 0 && line <= rows && total(s.before) == columns;
    case ChartStepKind::PasteRow:
        return line >= 0 && line < rows && total(forward ? s.after : s.before) == columns;
    case ChartStepKind::ShiftRowLeft:
    case ChartStepKind::ShiftRowRight:
        return line >= 0 && line < rows;
    case ChartStepKind::MarkRepeat:
    case ChartStepKind::ClearRepeat:
        return inside(forward ? s.repeatAfter : s.repeatBefore);
    case ChartStepKind::TileRepeat:
        // Undoing takes the copies left of and above the repeat away again.
        return forward ? !s.repeatBefore.isEmpty() && inside(s.repeatBefore)
                       : !s.repeatAfter.isEmpty() && inside(s.repeatAfter) &&
                             s.repeatAfter.left >= (s.across - 1) * s.repeatAfter.columns &&
                             s.repeatAfter.top >= (s.up - 1) * s.repeatAfter.rows;
    case ChartStepKind::MarkColumn:
    case ChartStepKind::MarkRow:
    case ChartStepKind::ClearMarks:
    case ChartStepKind::Settings:
        return true;
    }
    return false;
}

void ChartHistory::putCell(std::int32_t row, std::int32_t column, const Content& content,
                           Outcome& out, bool& legendChanged) {
    TFeld& cell = doc_.cellAt(row, column);
    const TFeld old = cell;
    const TFeld now = fieldOf(content.belegt, content.stich, content.breite);
    cell.belegt = now.belegt;
    cell.stich = now.stich;
    cell.breite = now.breite;
    StitchPool::retain(cell.stich);
    legendChanged = doc_.legendAfterPlacement(row, column, old, cell) || legendChanged;
    doc_.pool.release(old.stich);
    if (doc_.cellGrid.valid) {
        const std::int32_t cells = std::max({old.breite, cell.breite, 1});
        out.dirty += doc_.cellArea(row + 1, column + 1, std::min(cells, kMaxStitchCells));
    }
}

bool ChartHistory::putCells(const Step& s, bool forward, Outcome& out) {
    bool legendChanged = false;
    if (forward) {
        for (const CellChange& c : s.cells) {
            putCell(c.row, c.column, c.after, out, legendChanged);
        }
    } else {
        for (auto c = s.cells.rbegin(); c != s.cells.rend(); ++c) {
            putCell(c->row, c->column, c->before, out, legendChanged);
        }
    }
    return legendChanged;
}

void ChartHistory::setMarks(const Marks& marks, QRegion* dirty) {
    const Marks old = currentMarks();
    doc_.selectrow = marks.row;
    doc_.selectcol = marks.column;
    doc_.rownr = marks.rownr;
    doc_.colnr = marks.colnr;
    if (!dirty || !doc_.cellGrid.valid) {
        return;
    }
    // As a click repaints them: the marked row or column before and after, inside the chart.
    auto add = [&](bool row, std::int32_t number) {
        if (number >= 1 && number <= (row ? doc_.azeilen : doc_.aspalten)) {
            *dirty += doc_.markArea(row, number);
        }
    };
    if (old.row != marks.row || old.rownr != marks.rownr) {
        if (old.row) {
            add(true, old.rownr);
        }
        if (marks.row) {
            add(true, marks.rownr);
        }
    }
    if (old.column != marks.column || old.colnr != marks.colnr) {
        if (old.column) {
            add(false, old.colnr);
        }
        if (marks.column) {
            add(false, marks.colnr);
        }
    }
}

bool ChartHistory::insertColumn(std::int32_t column, const Runs& runs) {
    auto run = runs.begin();
    std::uint32_t left = run->count;
    std::uint32_t done = 0;
    for (TZeile row : doc_.zeilen) {
        TFeld* cell = row->Insert(column);
        if (!cell) {
            for (std::uint32_t k = 0; k < done; ++k) {
                TZeile undone = doc_.zeilen[k];
                doc_.releaseCell((*undone)[std::uint32_t(column)]);
                undone->Delete(column);
            }
            return false;
        }
        doc_.copyCell(*cell, fieldOf(run->content.belegt, run->content.stich, run->content.breite));
        if (--left == 0 && ++run != runs.end()) {
            left = run->count;
        }
        ++done;
    }
    ++doc_.aspalten;
    doc_.linesMoved(true, column, 1);
    doc_.cellGrid.valid = false;
    doc_.cellsChanged();
    return true;
}

bool ChartHistory::insertRow(std::int32_t rowIndex, const Runs& runs) {
    TZeile row = doc_.newRow();
    if (!row) {
        showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
        return false;
    }
    for (const Run& r : runs) {
        const TFeld source = fieldOf(r.content.belegt, r.content.stich, r.content.breite);
        for (std::uint32_t k = 0; k < r.count; ++k) {
            TFeld* cell = row->Add();
            if (!cell) {
                doc_.releaseCells(*row);
                delete row;
                return false;
            }
            doc_.copyCell(*cell, source);
        }
    }
    TZeile* slot = doc_.zeilen.Insert(rowIndex);
    if (!slot) {
        doc_.releaseCells(*row);
        delete row;
        return false;
    }
    *slot = row;
    ++doc_.azeilen;
    doc_.linesMoved(false, rowIndex, 1);
    doc_.cellGrid.valid = false;
    doc_.cellsChanged();
    return true;
}

void ChartHistory::fillLine(bool column, std::int32_t index, const Runs& runs) {
    std::int32_t k = 0;
    for (const Run& r : runs) {
        const TFeld source = fieldOf(r.content.belegt, r.content.stich, r.content.breite);
        for (std::uint32_t n = 0; n < r.count; ++n, ++k) {
            TFeld& target = column ? doc_.cellAt(k, index) : doc_.cellAt(index, k);
            doc_.releaseCell(target);
            doc_.copyCell(target, source);
        }
    }
    doc_.cellsChanged();
}

bool ChartHistory::apply(const Step& s, bool forward, Outcome& out) {
    const Runs& runs = forward ? s.after : s.before;
    bool layout = true;
    switch (s.kind) {
    case ChartStepKind::PlaceStitch: {
        layout = false;
        const bool legendChanged = putCells(s, forward, out);
        if (!doc_.cellGrid.valid) {
            out.dirty = QRegion(kWholePage);
        } else if (legendChanged) {
            // The legend stands below the grid; the text under the chart follows it.
            const int top = doc_.cellGrid.top + doc_.cellGrid.c * (doc_.azeilen + 2);
            out.dirty += QRect(0, top, kWholePage.width(), kWholePage.height());
        }
        break;
    }
    case ChartStepKind::BlockCut:
    case ChartStepKind::BlockPaste:
    case ChartStepKind::BlockClear:
    case ChartStepKind::BlockFill:
    case ChartStepKind::BlockMirrorHorizontally:
    case ChartStepKind::BlockMirrorVertically: {
        const bool grown = s.grownRows > 0 || s.grownColumns > 0;
        if (forward && grown && !doc_.growChart(s.grownRows, s.grownColumns)) {
            return false;
        }
        putCells(s, forward, out);
        if (!forward && grown) {
            doc_.shrinkChart(s.grownRows, s.grownColumns);
        }
        // The block comes back with the cells it named.
        doc_.block = forward ? s.blockAfter : s.blockBefore;
        break;
    }
    case ChartStepKind::InsertColumnLeft:
    case ChartStepKind::InsertColumnRight:
    case ChartStepKind::DeleteMarkedColumn:
    case ChartStepKind::DeleteFirstColumn:
    case ChartStepKind::DeleteLastColumn: {
        const bool inserts = (s.kind == ChartStepKind::InsertColumnLeft ||
                              s.kind == ChartStepKind::InsertColumnRight) == forward;
        if (inserts) {
            if (!insertColumn(s.line, runs)) {
                return false;
            }
        } else {
            doc_.deleteColumnAt(std::uint32_t(s.line));
        }
        break;
    }
    case ChartStepKind::InsertRowAbove:
    case ChartStepKind::InsertRowBelow:
    case ChartStepKind::DeleteMarkedRow:
    case ChartStepKind::DeleteTopRow:
    case ChartStepKind::DeleteBottomRow: {
        const bool inserts = (s.kind == ChartStepKind::InsertRowAbove ||
                              s.kind == ChartStepKind::InsertRowBelow) == forward;
        if (inserts) {
            if (!insertRow(s.line, runs)) {
                return false;
            }
        } else {
            doc_.deleteRowAt(std::uint32_t(s.line));
        }
        break;
    }
    case ChartStepKind::PasteColumn:
    case ChartStepKind::PasteRow:
        fillLine(s.kind == ChartStepKind::PasteColumn, s.line, runs);
        break;
    case ChartStepKind::ShiftRowLeft:
    case ChartStepKind::ShiftRowRight: {
        TDynaArrayOf<TFeld>& row = *doc_.zeilen[std::uint32_t(s.line)];
        if ((s.kind == ChartStepKind::ShiftRowLeft) == forward) {
            std::rotate(row.begin(), row.begin() + 1, row.end());
        } else {
            std::rotate(row.begin(), row.end() - 1, row.end());
        }
        doc_.cellGrid.valid = false;
        doc_.cellsChanged();
        break;
    }
    case ChartStepKind::MarkColumn:
    case ChartStepKind::MarkRow:
    case ChartStepKind::ClearMarks:
        layout = false;
        if (!doc_.cellGrid.valid) {
            out.dirty = QRegion(kWholePage);
        }
        break;
    case ChartStepKind::MarkRepeat:
    case ChartStepKind::ClearRepeat:
        break;
    case ChartStepKind::TileRepeat:
        if (!doc_.tileLines(s.repeatBefore, s.across, s.up, forward)) {
            return false;
        }
        doc_.block = forward ? s.blockAfter : s.blockBefore;
        break;
    case ChartStepKind::Settings:
        layout = false;
        out.settings = forward ? s.settings->after : s.settings->before;
        break;
    }
    if (s.kind != ChartStepKind::Settings) {
        doc_.repeat = forward ? s.repeatAfter : s.repeatBefore;
    }
    out.layoutChanged = layout;
    setMarks(forward ? s.marksAfter : s.marksBefore, layout ? nullptr : &out.dirty);
    return true;
}

// --- names ----------------------------------------------------------------------------

namespace {

QString kindText(ChartStepKind kind) {
    switch (kind) {
    case ChartStepKind::PlaceStitch:
        return QStringLiteral("Stich setzen");
    case ChartStepKind::MarkColumn:
        return QStringLiteral("Spalte markieren");
    case ChartStepKind::MarkRow:
        return QStringLiteral("Zeile markieren");
    case ChartStepKind::ClearMarks:
        return QStringLiteral("Markierung aufheben");
    case ChartStepKind::InsertColumnLeft:
        return QStringLiteral("Neue Spalte links");
    case ChartStepKind::InsertColumnRight:
        return QStringLiteral("Neue Spalte rechts");
    case ChartStepKind::DeleteMarkedColumn:
        return QStringLiteral("Markierte Spalte löschen");
    case ChartStepKind::DeleteFirstColumn:
        return QStringLiteral("Spalte ganz links löschen");
    case ChartStepKind::DeleteLastColumn:
        return QStringLiteral("Spalte ganz rechts löschen");
    case ChartStepKind::PasteColumn:
        return QStringLiteral("Spalte einfügen");
    case ChartStepKind::InsertRowAbove:
        return QStringLiteral("Neue Zeile oben");
    case ChartStepKind::InsertRowBelow:
        return QStringLiteral("Neue Zeile unten");
    case ChartStepKind::DeleteMarkedRow:
        return QStringLiteral("Markierte Zeile löschen");
    case ChartStepKind::DeleteTopRow:
        return QStringLiteral("Zeile ganz oben löschen");
    case ChartStepKind::DeleteBottomRow:
        return QStringLiteral("Zeile ganz unten löschen");
    case ChartStepKind::PasteRow:
        return QStringLiteral("Zeile einfügen");
    case ChartStepKind::ShiftRowLeft:
        return QStringLiteral("Zeile nach links verschieben");
    case ChartStepKind::ShiftRowRight:
        return QStringLiteral("Zeile nach rechts verschieben");
    case ChartStepKind::BlockCut:
        return QStringLiteral("Block ausschneiden");
    case ChartStepKind::BlockPaste:
        return QStringLiteral("Block einfügen");
    case ChartStepKind::BlockClear:
        return QStringLiteral("Block leeren");
    case ChartStepKind::BlockFill:
        return QStringLiteral("Block mit Stich füllen");
    case ChartStepKind::BlockMirrorHorizontally:
        return QStringLiteral("Block waagerecht spiegeln");
    case ChartStepKind::BlockMirrorVertically:
        return QStringLiteral("Block senkrecht spiegeln");
    case ChartStepKind::MarkRepeat:
        return QStringLiteral("Als Rapport markieren");
    case ChartStepKind::ClearRepeat:
        return QStringLiteral("Rapport aufheben");
    case ChartStepKind::TileRepeat:
        return QStringLiteral("Rapport wiederholen");
    case ChartStepKind::Settings:
        break;
    }
    return QStringLiteral("Einstellungen ändern");
}

} // namespace

QString ChartHistory::undoText() const {
    if (!canUndo()) {
        return {};
    }
    const Step& s = steps_[position_ - 1];
    return s.kind == ChartStepKind::Settings ? settingsfields::changeText(s.settings->field)
                                             : kindText(s.kind);
}

QString ChartHistory::redoText() const {
    if (!canRedo()) {
        return {};
    }
    const Step& s = steps_[position_];
    return s.kind == ChartStepKind::Settings ? settingsfields::changeText(s.settings->field)
                                             : kindText(s.kind);
}
