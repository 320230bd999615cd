#pragma once

#include "designer/ChartHistory.h"
#include "designer/StitchPool.h"
#include "designer/TFeld.h"
#include "designer/TStich.h"
#include "foundation/TDynaArrayOf.h"

#include <QRegion>
#include <QString>

#include <vector>

// A chart row: the row's own record array of cells, left cell first.
using TZeile = TDynaArrayOf<TFeld>*;

// The chart document of the main window: rows of cells in record arrays, the stitch library,
// the row and column copy buffers, the marks and the unsaved-changes state.
//
// Invariant: `zeilen` holds `azeilen` rows and every row holds `aspalten` cells.
// Library stitches own their texts and pictures. Cells and copy-buffer records hold a reference
// to a shared record of `pool` instead (see StitchPool); the release routines give it back.
// Code that changes cells other than through the document's commands calls cellsChanged().
class ChartDocument {
public:
    ChartDocument();
    ~ChartDocument();

    ChartDocument(const ChartDocument&) = delete;
    ChartDocument& operator=(const ChartDocument&) = delete;

    // Releases the texts and the picture of the library stitch that `astich` points at.
    void FreeAStich();
    // Releases every library stitch and empties `stiche`.
    void FreeAllStiche();
    // Releases every cell and every row and empties `zeilen`; azeilen/aspalten stay.
    void FreeAllDoc();
    void Freecopyzeile();
    void Freecopyspalte();

    // Puts a copy of library stitch `stich` into the empty `cell`: its texts and its picture,
    // cut to at most 100 pixels per cell of the stitch's width, shared with the cells holding
    // the same. When memory runs out the cell is left empty and false is returned; nothing is
    // reported.
    bool placeStitch(TFeld& cell, const TStich& stich);
    // Gives `target` (which holds nothing) the content of `source`: its texts, picture and
    // width. Pictures are not resized.
    void copyCell(TFeld& target, const TFeld& source);
    // Empties `cell`; its `feldrect` stays.
    void releaseCell(TFeld& cell);

    // Replaces the chart by `rows` x `columns` cells, each filled with library stitch
    // `fillIndex` (no fill when the index is not in the library). The new chart is built off to
    // the side: when the cells do not fit into memory, the old chart stays and false is
    // returned. All cells share one copy of the fill stitch; when that cannot be made the cells
    // stay empty and this is reported once. `memoryBudget` is the memory the new chart may
    // take, in bytes.
    bool buildChart(std::int32_t rows, std::int32_t columns, std::int32_t fillIndex);
    bool buildChart(std::int32_t rows, std::int32_t columns, std::int32_t fillIndex,
                    std::uint64_t memoryBudget);

    // Bytes the shared record of `stich` takes once placed (texts and cut picture).
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
        bool repaint = false; // the click was taken
        bool changed = false; // a stitch was placed
        // What the click changed on the page, in chart-view pixels: the cells it filled, the
        // marked row or column before and after, the legend and what follows it when the
        // legend changed. The whole page while no paint has laid the cells out.
        QRegion dirty;
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

    // "<maincap> - [<file name>]" with an asterisk before "]" while changed.
    QString captionFor(const QString& maincap) const;
    // Also tell the history which state is the saved one: the present one after a save or
    // load, none once the chart changed without a step (a chart built from a picture).
    void SetChanged();
    void SetUnChanged();

    // A new, empty row array using the document's cell mirror; null when memory ran out.
    TZeile newRow();
    // Replaces the chart by the rows of `rows` (built off to the side, `rowCount` rows of
    // `columnCount` cells); `rows` ends up empty. The memory of a large chart replaced goes
    // back to the system.
    void adoptRows(TDynaArrayOf<TZeile>& rows, std::int32_t rowCount, std::int32_t columnCount);
    // Releases the cells and row arrays of `rows` and clears it.
    void releaseRows(TDynaArrayOf<TZeile>& rows);

    // Memory the cells of a rows x columns chart take, pictures and texts not counted.
    static std::uint64_t gridBytes(std::int32_t rows, std::int32_t columns);

    // Cell at a 0-based row and column; no bounds check.
    TFeld& cellAt(std::int32_t row, std::int32_t column) const { return (*zeilen[row])[column]; }

    // The legend's stitches: for every different content (texts and picture; the width in
    // cells does not count) the 0-based row and column of the first cell holding it, in
    // reading order. Worked out when first asked for after a change of the cells.
    struct LegendEntry {
        std::uint64_t key; // SharedStitch::legendKey
        std::int32_t row;
        std::int32_t column;
    };
    const std::vector<LegendEntry>& legendEntries();
    // To be called after changing cells directly; the document's own commands do it.
    void cellsChanged() { legendValid_ = false; }

    // The shared stitch records of the cells and copy buffers; declared first, so that it
    // outlives every holder.
    StitchPool pool;
    // Undo and redo of the commands below; emptied whenever the chart is replaced.
    ChartHistory history{*this};

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
    // The cells hold exactly these rectangles while it is valid, so a paint need not record
    // them again.
    struct CellGrid {
        bool valid = false;
        int c = 0;
        int lw = 0;
        int left = 0; // M
        int top = 0;  // Y0
        bool operator==(const CellGrid&) const = default;
    };
    CellGrid cellGrid;

private:
    friend class ChartHistory; // applies its steps with the commands' own parts

    void releaseCells(TDynaArrayOf<TFeld>& cells);
    // The page area of `cells` cells from grid row `row`, grid column `column` on, with room
    // for the marked-cell frame around them.
    QRect cellArea(std::int32_t row, std::int32_t column, std::int32_t cells) const;
    QRect markArea(bool row, std::int32_t number) const;
    // Keeps the legend up to date after `after` replaced `before` in the cell at the 0-based
    // row and column; true when the legend looks different now.
    bool legendAfterPlacement(std::int32_t row, std::int32_t column, const TFeld& before,
                              const TFeld& after);

    std::vector<LegendEntry> legend_;
    bool legendValid_ = false;
    const TStich* fillStitch() const;
    EditResult insertColumnAt(std::uint32_t position);
    EditResult insertRowAt(std::uint32_t position);
    void deleteColumnAt(std::uint32_t position);
    void deleteRowAt(std::uint32_t position);
};
