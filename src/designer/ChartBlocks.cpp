// Blocks of cells in the chart document: selecting a rectangle of whole stitches, and copying,
// cutting, pasting, clearing, filling and mirroring it.
#include "ChartDocument.h"

#include "StandardStitches.h"
#include "foundation/DibCopy.h"
#include "foundation/OwnedText.h"
#include "foundation/UserMessage.h"

#include <algorithm>
#include <functional>
#include <map>
#include <new>

namespace {

void reportShortage() {
    showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
}

// Cells a stitch reaches over from column `first` of a row of `length` cells: its width, cut
// at the row's end. An empty cell is one cell.
std::int32_t reach(const TFeld& cell, std::int32_t first, std::int32_t length) {
    const std::int32_t width = cell.belegt ? std::max(cell.breite, 1) : 1;
    return std::min(width, length - first);
}

// Calls `visit(first, width)` for the stitches of `cells[0, length)` that start at or before
// column `last`, from the left, as the chart reads a row: a wide stitch covers its cell and the
// cells to its right, whatever they hold.
template <class Cells, class Visit>
void forEachStitch(const Cells& cells, std::int32_t length, std::int32_t last, Visit visit) {
    for (std::int32_t j = 0; j < length && j <= last;) {
        const std::int32_t width = reach(cells[std::uint32_t(j)], j, length);
        visit(j, width);
        j += width;
    }
}

// A row of the copied block, so that its stitches can be read like a chart row.
struct BufferRow {
    const TFeld* cells;
    const TFeld& operator[](std::uint32_t k) const { return cells[k]; }
};

// Cell contents taken out of the chart, one reference each: what is not written back (writing
// empties the vector) is given back, also when a shortage ends the command half way.
struct HeldCells {
    ChartDocument& doc;
    std::vector<TFeld> cells;
    HeldCells(ChartDocument& d, std::vector<TFeld> c) : doc(d), cells(std::move(c)) {}
    HeldCells(const HeldCells&) = delete;
    HeldCells& operator=(const HeldCells&) = delete;
    ~HeldCells() {
        for (TFeld& cell : cells) {
            doc.releaseCell(cell);
        }
    }
};

} // namespace

void ChartDocument::Freecopyblock() {
    for (const TFeld& cell : copyblock.cells) {
        pool.release(cell.stich);
    }
    copyblock = {};
}

void ChartDocument::linesMoved(bool columns, std::int32_t at, std::int32_t count) {
    block = columns ? block.afterColumns(at, count) : block.afterRows(at, count);
    repeat = columns ? repeat.afterColumns(at, count) : repeat.afterRows(at, count);
}

std::optional<ChartDocument::CellPos> ChartDocument::cellAtPoint(std::int32_t x, std::int32_t y,
                                                                 bool nearest) const {
    if (azeilen < 1 || aspalten < 1) {
        return std::nullopt;
    }
    if (cellGrid.valid && cellGrid.c > 0) {
        // Cell j starts one cell to the right of the grid's left side (the number column).
        auto index = [&](std::int64_t v, std::int32_t origin,
                         std::int32_t count) -> std::optional<std::int32_t> {
            std::int64_t k = v - origin;
            k = (k >= 0 ? k / cellGrid.c : -((-k + cellGrid.c - 1) / cellGrid.c)) - 1;
            if (k < 0 || k >= count) {
                if (!nearest) {
                    return std::nullopt;
                }
                k = std::clamp<std::int64_t>(k, 0, count - 1);
            }
            return std::int32_t(k);
        };
        const auto row = index(y, cellGrid.top, azeilen);
        const auto column = index(x, cellGrid.left, aspalten);
        if (!row || !column) {
            return std::nullopt;
        }
        return CellPos{*row, *column};
    }
    // Not laid out on a regular grid (yet): the rectangles of the last paint tell.
    for (std::int32_t r = 0; r < azeilen; ++r) {
        for (std::int32_t c = 0; c < aspalten; ++c) {
            const CellRect& f = cellAt(r, c).feldrect;
            if (f.left <= x && x <= f.right && f.top <= y && y <= f.bottom) {
                return CellPos{r, c};
            }
        }
    }
    return std::nullopt;
}

CellBlock ChartDocument::wholeStitches(CellBlock area) const {
    area = area.clippedTo(azeilen, aspalten);
    // Widening may bring other rows' stitches across the sides; repeat until none is.
    for (bool widened = !area.isEmpty(); widened;) {
        widened = false;
        std::int32_t left = area.left;
        std::int32_t right = area.right();
        for (std::int32_t r = area.top; r <= area.bottom(); ++r) {
            forEachStitch(*zeilen[std::uint32_t(r)], aspalten, right,
                          [&](std::int32_t first, std::int32_t width) {
                              const std::int32_t last = first + width - 1;
                              if (first < left && last >= left) {
                                  left = first;
                              }
                              if (last > right) {
                                  right = last;
                              }
                          });
        }
        if (left != area.left || right != area.right()) {
            area.columns = right - left + 1;
            area.left = left;
            widened = true;
        }
    }
    return area;
}

void ChartDocument::selectBlock(CellPos from, CellPos to) {
    block = wholeStitches(CellBlock::spanning(from.row, from.column, to.row, to.column));
}

ChartDocument::Placement ChartDocument::placementAt(CellPos cell) const {
    if (stichnr < 0 || std::uint32_t(stichnr) >= stiche.count) {
        return {};
    }
    const std::int32_t width = std::max(stiche.at(std::uint32_t(stichnr))->breite, 1);
    const CellBlock cells = CellBlock{cell.row, cell.column, 1, width}.clippedTo(azeilen, aspalten);
    return {cells, cells.columns == width};
}

std::vector<TFeld> ChartDocument::readBlock(const CellBlock& area) {
    std::vector<TFeld> cells(std::size_t(area.rows) * std::size_t(area.columns));
    auto out = cells.begin();
    for (std::int32_t r = area.top; r <= area.bottom(); ++r) {
        for (std::int32_t c = area.left; c <= area.right(); ++c) {
            copyCell(*out++, cellAt(r, c));
        }
    }
    return cells;
}

bool ChartDocument::writeBlock(const CellBlock& area, std::vector<TFeld>& cells) {
    bool changed = false;
    auto in = cells.begin();
    for (std::int32_t r = area.top; r <= area.bottom(); ++r) {
        for (std::int32_t c = area.left; c <= area.right(); ++c, ++in) {
            TFeld& cell = cellAt(r, c);
            const TFeld now = *in;
            const bool same = cell.belegt == now.belegt && cell.stich == now.stich &&
                              (!now.belegt || cell.breite == now.breite);
            if (same) {
                pool.release(now.stich);
                continue;
            }
            const TFeld before = cell;
            cell.belegt = now.belegt;
            cell.stich = now.stich;
            cell.breite = now.breite;
            history.noteCell(r, c, before, cell);
            pool.release(before.stich);
            changed = true;
        }
    }
    cells.clear();
    if (changed) {
        cellsChanged();
    }
    return changed;
}

bool ChartDocument::growChart(std::int32_t rows, std::int32_t columns) {
    const std::int32_t oldRows = azeilen;
    const std::int32_t oldColumns = aspalten;
    // Taken back on a shortage (which the record array reports): the new cells are empty, so
    // nothing needs releasing.
    auto undo = [&] {
        while (azeilen > oldRows) {
            delete zeilen[std::uint32_t(azeilen - 1)];
            zeilen.Delete(azeilen - 1);
            --azeilen;
        }
        for (TZeile row : zeilen) {
            while (std::int32_t(row->count) > oldColumns) {
                row->Delete(std::int32_t(row->count) - 1);
            }
        }
        aspalten = oldColumns;
        return false;
    };
    for (std::int32_t k = 0; k < columns; ++k) {
        for (TZeile row : zeilen) {
            if (!row->Add()) {
                return undo();
            }
        }
        ++aspalten;
    }
    for (std::int32_t k = 0; k < rows; ++k) {
        TZeile row = newRow();
        if (!row) {
            reportShortage();
            return undo();
        }
        bool ok = true;
        for (std::int32_t c = 0; ok && c < aspalten; ++c) {
            ok = row->Add() != nullptr;
        }
        TZeile* slot = ok ? zeilen.Add() : nullptr;
        if (!slot) {
            delete row;
            return undo();
        }
        *slot = row;
        ++azeilen;
    }
    linesMoved(true, oldColumns, columns);
    linesMoved(false, oldRows, rows);
    cellGrid.valid = false;
    return true;
}

void ChartDocument::shrinkChart(std::int32_t rows, std::int32_t columns) {
    for (std::int32_t k = 0; k < rows; ++k) {
        deleteRowAt(std::uint32_t(azeilen - 1));
    }
    for (std::int32_t k = 0; k < columns; ++k) {
        deleteColumnAt(std::uint32_t(aspalten - 1));
    }
}

ChartDocument::EditResult ChartDocument::copyBlock() {
    block = wholeStitches(block);
    if (block.isEmpty()) {
        return EditResult::NeedBlock;
    }
    std::vector<TFeld> cells;
    try {
        cells = readBlock(block);
    } catch (const std::bad_alloc&) {
        reportShortage();
        return EditResult::Unchanged;
    }
    Freecopyblock();
    copyblock = {block.rows, block.columns, std::move(cells)};
    return EditResult::Unchanged;
}

ChartDocument::EditResult ChartDocument::cutBlock() {
    return rewriteBlock(ChartStepKind::BlockCut, [this](std::vector<TFeld>& cells) {
        // The cells taken out become the copy; empty ones go back.
        std::vector<TFeld> empty(cells.size());
        Freecopyblock();
        copyblock = {block.rows, block.columns, std::move(cells)};
        cells = std::move(empty);
        return EditResult::Done;
    });
}

ChartDocument::EditResult
ChartDocument::rewriteBlock(ChartStepKind kind,
                            const std::function<EditResult(std::vector<TFeld>&)>& change) {
    ChartHistory::Recording recording(history, kind);
    block = wholeStitches(block);
    if (block.isEmpty()) {
        return EditResult::NeedBlock;
    }
    try {
        HeldCells held(*this, readBlock(block));
        const EditResult result = change(held.cells);
        if (result != EditResult::Done) {
            return result;
        }
        return writeBlock(block, held.cells) ? EditResult::Done : EditResult::Unchanged;
    } catch (const std::bad_alloc&) {
        reportShortage();
        return EditResult::Unchanged;
    }
}

ChartDocument::EditResult ChartDocument::clearBlock() {
    return rewriteBlock(ChartStepKind::BlockClear, [this](std::vector<TFeld>& cells) {
        for (TFeld& cell : cells) {
            releaseCell(cell);
        }
        return EditResult::Done;
    });
}

ChartDocument::EditResult ChartDocument::fillBlock() {
    return rewriteBlock(ChartStepKind::BlockFill, [this](std::vector<TFeld>& cells) {
        if (stichnr < 0 || std::uint32_t(stichnr) >= stiche.count) {
            return EditResult::Unchanged;
        }
        const TStich& stich = *stiche.at(std::uint32_t(stichnr));
        const std::int32_t width = std::max(stich.breite, 1);
        if (width > block.columns) {
            return EditResult::StitchTooWide;
        }
        HeldCells placed(*this, std::vector<TFeld>(1));
        if (!placeStitch(placed.cells[0], stich)) {
            reportShortage();
            return EditResult::Unchanged;
        }
        const std::int32_t whole = block.columns / width * width;
        for (std::int32_t r = 0; r < block.rows; ++r) {
            TFeld* line = cells.data() + std::size_t(r) * std::size_t(block.columns);
            for (std::int32_t c = 0; c < whole; ++c) {
                releaseCell(line[c]);
                if (c % width == 0) {
                    copyCell(line[c], placed.cells[0]);
                }
            }
        }
        return EditResult::Done;
    });
}

ChartDocument::EditResult ChartDocument::mirrorBlockHorizontally() {
    ChartHistory::Recording recording(history, ChartStepKind::BlockMirrorHorizontally);
    const CellBlock repeatBefore = repeat;
    EditResult result =
        rewriteBlock(ChartStepKind::BlockMirrorHorizontally, [this](std::vector<TFeld>& cells) {
            std::vector<TFeld> row(std::size_t(block.columns));
            // The library stitch leaning the other way, placed once for every content it replaces.
            std::map<const SharedStitch*, TFeld> partnerOf;
            HeldCells partners(*this, {});
            auto partner = [&](const TFeld& cell) -> const TFeld* {
                const auto known = partnerOf.find(cell.stich);
                if (known != partnerOf.end()) {
                    return known->second.belegt ? &known->second : nullptr;
                }
                partners.cells.emplace_back();
                TFeld& placed = partners.cells.back();
                const QString name =
                    standardstitches::mirrorPartner(ownedTextToString(cell.stich->bezeichnung));
                for (const TStich& s : stiche) {
                    // A partner of another width would not fill the same cells.
                    if (!name.isEmpty() && ownedTextToString(s.bezeichnung) == name &&
                        std::max(s.breite, 1) == std::max(cell.breite, 1)) {
                        placeStitch(placed, s);
                        break;
                    }
                }
                partnerOf.emplace(cell.stich, placed);
                return placed.belegt ? &partnerOf[cell.stich] : nullptr;
            };
            for (std::int32_t r = 0; r < block.rows; ++r) {
                TFeld* line = cells.data() + std::size_t(r) * std::size_t(block.columns);
                // The stitches, read from the left, land from the right; each keeps its cells in
                // their order, so a wide stitch stays whole and covers what it covered.
                std::int32_t end = block.columns;
                forEachStitch(BufferRow{line}, block.columns, block.columns - 1,
                              [&](std::int32_t first, std::int32_t width) {
                                  end -= width;
                                  std::copy_n(line + first, width, row.begin() + end);
                              });
                std::copy(row.begin(), row.end(), line);
                for (std::int32_t c = 0; c < block.columns; c += reach(line[c], c, block.columns)) {
                    const TFeld* other = line[c].belegt ? partner(line[c]) : nullptr;
                    if (other) {
                        releaseCell(line[c]);
                        copyCell(line[c], *other);
                    }
                }
            }
            return EditResult::Done;
        });
    return afterMirror(result, repeatBefore, true);
}

ChartDocument::EditResult ChartDocument::mirrorBlockVertically() {
    ChartHistory::Recording recording(history, ChartStepKind::BlockMirrorVertically);
    const CellBlock repeatBefore = repeat;
    EditResult result =
        rewriteBlock(ChartStepKind::BlockMirrorVertically, [this](std::vector<TFeld>& cells) {
            const auto columns = std::ptrdiff_t(block.columns);
            for (std::int32_t top = 0, bottom = block.rows - 1; top < bottom; ++top, --bottom) {
                std::swap_ranges(cells.begin() + top * columns, cells.begin() + (top + 1) * columns,
                                 cells.begin() + bottom * columns);
            }
            return EditResult::Done;
        });
    return afterMirror(result, repeatBefore, false);
}

ChartDocument::EditResult
ChartDocument::afterMirror(EditResult result, const CellBlock& repeatBefore, bool leftToRight) {
    if (result == EditResult::Done || result == EditResult::Unchanged) {
        mirrorRepeat(leftToRight);
        if (repeat != repeatBefore) {
            return EditResult::Done;
        }
    }
    return result;
}

ChartDocument::Growth ChartDocument::pasteGrowth() const {
    if (block.isEmpty() || copyblock.cells.empty()) {
        return {};
    }
    return {std::max(0, block.top + copyblock.rows - azeilen),
            std::max(0, block.left + copyblock.columns - aspalten)};
}

ChartDocument::EditResult ChartDocument::pasteBlock(PasteFit fit) {
    ChartHistory::Recording recording(history, ChartStepKind::BlockPaste);
    block = block.clippedTo(azeilen, aspalten);
    if (block.isEmpty()) {
        return EditResult::NeedBlock;
    }
    if (copyblock.cells.empty()) {
        return EditResult::NothingCopied;
    }
    const Growth growth = fit == PasteFit::Grow ? pasteGrowth() : Growth{};
    CellBlock target{block.top, block.left,
                     std::min(copyblock.rows, azeilen + growth.rows - block.top),
                     std::min(copyblock.columns, aspalten + growth.columns - block.left)};
    // Cut off at the chart's side, the part pasted ends before the first stitch it would cut.
    for (std::int32_t r = 0; r < target.rows; ++r) {
        BufferRow row{copyblock.cells.data() + std::size_t(r) * std::size_t(copyblock.columns)};
        forEachStitch(row, copyblock.columns, target.columns - 1,
                      [&](std::int32_t first, std::int32_t width) {
                          if (first + width > target.columns) {
                              target.columns = first;
                          }
                      });
    }
    if (target.isEmpty()) {
        return EditResult::Unchanged;
    }
    // A wide stitch left of the target reaching into it would cover pasted cells.
    for (std::int32_t r = target.top; r <= std::min(target.bottom(), azeilen - 1); ++r) {
        bool cuts = false;
        forEachStitch(*zeilen[std::uint32_t(r)], aspalten, target.left - 1,
                      [&](std::int32_t first, std::int32_t width) {
                          cuts = cuts || (first < target.left && first + width > target.left);
                      });
        if (cuts) {
            return EditResult::WouldCutStitch;
        }
    }

    const std::int32_t oldRows = azeilen;
    const std::int32_t oldColumns = aspalten;
    try {
        HeldCells pasted(
            *this, std::vector<TFeld>(std::size_t(target.rows) * std::size_t(target.columns)));
        HeldCells added(*this, {});
        HeldCells filled(*this, std::vector<TFeld>(1));
        if (growth.any()) {
            added.cells.reserve(std::size_t(growth.columns) * std::size_t(oldRows) +
                                std::size_t(growth.rows) *
                                    std::size_t(oldColumns + growth.columns));
            if (!growChart(growth.rows, growth.columns)) {
                return EditResult::Unchanged;
            }
            history.noteGrowth(growth.rows, growth.columns);
            // The new cells are filled as new rows and columns are.
            if (const TStich* fill = fillStitch(); fill && !placeStitch(filled.cells[0], *fill)) {
                reportShortage();
            }
            for (const CellBlock& area : {CellBlock{0, oldColumns, oldRows, growth.columns},
                                          CellBlock{oldRows, 0, growth.rows, aspalten}}) {
                if (area.isEmpty()) {
                    continue;
                }
                added.cells.resize(std::size_t(area.rows) * std::size_t(area.columns));
                for (TFeld& cell : added.cells) {
                    copyCell(cell, filled.cells[0]);
                }
                writeBlock(area, added.cells);
            }
        }
        auto out = pasted.cells.begin();
        for (std::int32_t r = 0; r < target.rows; ++r) {
            const TFeld* source =
                copyblock.cells.data() + std::size_t(r) * std::size_t(copyblock.columns);
            for (std::int32_t c = 0; c < target.columns; ++c) {
                copyCell(*out++, source[c]);
            }
        }
        const bool changed = writeBlock(target, pasted.cells);
        block = target;
        return changed || growth.any() ? EditResult::Done : EditResult::Unchanged;
    } catch (const std::bad_alloc&) {
        reportShortage();
        return EditResult::Unchanged;
    }
}
