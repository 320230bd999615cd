#pragma once

#include "designer/TFeld.h"
#include "designer/TStich.h"
#include "foundation/TDynaArrayOf.h"

#include <QString>

// A chart row: the row's own record array of cells, left cell first.
using TZeile = TDynaArrayOf<TFeld>*;

// The chart document of the main window: rows of cells in record arrays, the stitch library,
// the row and column copy buffers, the marks and the unsaved-changes state.
//
// Invariant: `zeilen` holds `azeilen` rows and every row holds `aspalten` cells.
// All cell and stitch records own their texts and pictures; the release routines free them.
class ChartDocument {
public:
    ChartDocument();
    ~ChartDocument();

    ChartDocument(const ChartDocument&) = delete;
    ChartDocument& operator=(const ChartDocument&) = delete;

    // Releases the texts and the picture of the stitch that `astich` points at.
    void FreeAStich();
    // Releases every library stitch and empties `stiche`.
    void FreeAllStiche();
    // Releases every cell and every row and empties `zeilen`; azeilen/aspalten stay.
    void FreeAllDoc();
    void Freecopyzeile();
    void Freecopyspalte();

    // Puts a private copy of `stich` into the empty `cell`: texts copied, picture copied and
    // cut to at most 100 pixels per cell of the stitch's width. When memory runs out the cell
    // is left empty and false is returned; nothing is reported.
    static bool placeStitch(TFeld& cell, const TStich& stich);

    // Replaces the chart by `rows` x `columns` cells, each filled with library stitch
    // `fillIndex` (no fill when the index is not in the library). The new chart is built off to
    // the side: when the cells do not fit into memory, the old chart stays and false is
    // returned. When pictures cannot be copied the remaining cells stay empty and this is
    // reported once. `memoryBudget` is the memory the new chart may take, in bytes.
    bool buildChart(std::int32_t rows, std::int32_t columns, std::int32_t fillIndex);
    bool buildChart(std::int32_t rows, std::int32_t columns, std::int32_t fillIndex,
                    std::uint64_t memoryBudget);

    // Bytes a cell takes for its copy of `stich` once placed (texts and cut picture).
    static std::uint64_t placedStitchBytes(const TStich& stich);

    // --- editing the grid -------------------------------------------------------------
    // Commands report whether they changed the chart, or which mark they miss.
    enum class EditResult { Done, Unchanged, NeedColumnMark, NeedRowMark };

    // A mark only counts while it lies inside the chart: a new chart or an opened file keeps
    // `colnr` and `rownr` from before.
    bool columnMarked() const { return selectcol && colnr >= 1 && colnr <= aspalten; }
    bool rowMarked() const { return selectrow && rownr >= 1 && rownr <= azeilen; }

    // A click at (x, y) of the chart view, hit-tested against the cell rectangles of the last
    // paint: the corner box clears the marks, the number boxes mark a column or row, a cell
    // receives library stitch `stichnr`. Nothing happens while the chart is not shown or no
    // library stitch is selected.
    struct ClickResult {
        bool repaint = false;
        bool changed = false;
    };
    ClickResult clickAt(std::int32_t x, std::int32_t y, bool chartShown);

    // New columns and rows are filled with the first library stitch.
    EditResult insertColumnLeft();
    EditResult insertColumnRight();
    EditResult insertRowAbove();
    EditResult insertRowBelow();
    // Deleting keeps at least one column and one row.
    EditResult deleteMarkedColumn();
    EditResult deleteFirstColumn();
    EditResult deleteLastColumn();
    EditResult deleteMarkedRow();
    EditResult deleteTopRow();
    EditResult deleteBottomRow();
    // Copy, paste and shift need a mark and at least two columns (rows).
    EditResult copyColumn();
    EditResult copyRow();
    EditResult pasteColumn();
    EditResult pasteRow();
    EditResult shiftRowLeft();
    EditResult shiftRowRight();

    // Gives `target` (which owns nothing) its own copy of `source`'s content; pictures are not
    // resized. False when memory ran out (the target is then empty).
    static bool copyCell(TFeld& target, const TFeld& source);

    // "<maincap> - [<file name>]" with an asterisk before "]" while changed.
    QString captionFor(const QString& maincap) const;
    void SetChanged() { changed = true; }
    void SetUnChanged() { changed = false; }

    // A new, empty row array using the document's cell mirror; null when memory ran out.
    TZeile newRow();
    // Replaces the chart by the rows of `rows` (built off to the side, `rowCount` rows of
    // `columnCount` cells); `rows` ends up empty.
    void adoptRows(TDynaArrayOf<TZeile>& rows, std::int32_t rowCount, std::int32_t columnCount);
    // Releases the cells and row arrays of `rows` and clears it.
    void releaseRows(TDynaArrayOf<TZeile>& rows);

    // Memory the cells of a rows x columns chart take, pictures and texts not counted.
    static std::uint64_t gridBytes(std::int32_t rows, std::int32_t columns);

    // Cell at a 0-based row and column; no bounds check.
    TFeld& cellAt(std::int32_t row, std::int32_t column) const { return (*zeilen[row])[column]; }

    TZeile* azeile = nullptr;
    TFeld* aspalte = nullptr;
    TDynaArrayOf<TZeile> zeilen{&azeile};
    std::int32_t azeilen = 0;
    std::int32_t aspalten = 0;
    std::int32_t cellwh = 0;

    TStich* astich = nullptr;
    TDynaArrayOf<TStich> stiche{&astich};
    std::int32_t stichnr = 0;

    bool selectrow = false;
    bool selectcol = false;
    std::int32_t rownr = 0;
    std::int32_t colnr = 0;

    TFeld* acopy = nullptr;
    TDynaArrayOf<TFeld> copyzeile{&acopy};
    TDynaArrayOf<TFeld> copyspalte{&acopy};

    QString afilename;
    bool changed = false;

    // How the last paint laid the cells out, so that a click need not test every cell of a
    // large chart. Invalid until a paint recorded the rectangles and whenever records move.
    struct CellGrid {
        bool valid = false;
        int c = 0;
        int lw = 0;
        int left = 0; // M
        int top = 0;  // Y0
    };
    CellGrid cellGrid;

private:
    void releaseCells(TDynaArrayOf<TFeld>& cells);
    void releaseCell(TFeld& cell);
    const TStich* fillStitch() const;
    EditResult insertColumnAt(std::uint32_t position);
    EditResult insertRowAt(std::uint32_t position);
    void deleteColumnAt(std::uint32_t position);
    void deleteRowAt(std::uint32_t position);
};
