#pragma once

#include "designer/CellBlock.h"
#include "designer/ChartHistory.h"
#include "designer/StitchPool.h"
#include "designer/TFeld.h"
#include "designer/TStich.h"
#include "foundation/TDynaArrayOf.h"

#include <QRegion>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// A chart row: the row's own record array of cells, left cell first.
using TZeile = TDynaArrayOf<TFeld>*;

// The largest chart the designer makes: rows and columns each.
constexpr std::int32_t kMaxChartLines = 1000;

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
    enum class EditResult {
        Done,
        Unchanged,
        NeedColumnMark,
        NeedRowMark,
        NeedBlock,        // no block is selected
        NothingCopied,    // no block was copied yet
        WouldCutStitch,   // a paste here would cut a wide stitch in two
        StitchTooWide,    // the stitch to fill with is wider than the block
        NeedRepeat,       // no repeat is marked
        TooLarge,         // the chart would grow beyond kMaxChartLines rows or columns
        RepeatCutsStitch, // a wide stitch reaches across a side of the repeat
    };

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

    // --- blocks of cells (ChartBlocks.cpp) ------------------------------------------------
    // A block never cuts a stitch in two: a wide stitch covers its cell and the cells to its
    // right (as the page draws and the instructions read it), and a block always holds either
    // all of its cells or none. Every command that changes cells is one step of the history.

    // The 0-based row and column of the cell under (x, y) of the chart view, as the last paint
    // laid the cells out. With `nearest` a point beside the grid gives the nearest cell.
    struct CellPos {
        std::int32_t row;
        std::int32_t column;
    };
    std::optional<CellPos> cellAtPoint(std::int32_t x, std::int32_t y, bool nearest) const;
    // `area`, cut to the chart and widened until no stitch reaches across its sides.
    CellBlock wholeStitches(CellBlock area) const;
    // Selects the block with the two cells as corners, widened to whole stitches.
    void selectBlock(CellPos from, CellPos to);
    // The cells library stitch `stichnr` would cover when placed at the cell; `fits` is false
    // when the chart's right side cuts it.
    struct Placement {
        CellBlock cells;
        bool fits = true;
    };
    Placement placementAt(CellPos cell) const;

    // The commands work on the selected block.
    EditResult copyBlock();
    EditResult cutBlock();
    EditResult clearBlock();
    // Fills the block with library stitch `stichnr`, as often as it fits whole into each row
    // from the left; the cells a wide stitch covers become empty, cells left over keep theirs.
    EditResult fillBlock();
    // "Block waagerecht spiegeln", left to right: the stitches of every row in reverse order,
    // each one kept whole, and a stitch that leans or crosses one way replaced by the library
    // stitch leaning or crossing the other way where the library has it.
    EditResult mirrorBlockHorizontally();
    // "Block senkrecht spiegeln", top to bottom: the rows of the block in reverse order.
    EditResult mirrorBlockVertically();

    // Pasting puts the copied block with its top-left cell on the selected block's top-left
    // cell. The rows and columns it reaches beyond the chart:
    struct Growth {
        std::int32_t rows = 0;
        std::int32_t columns = 0;
        bool any() const { return rows > 0 || columns > 0; }
    };
    Growth pasteGrowth() const;
    // Beyond the chart the paste either adds the rows and columns it needs (filled with the
    // first library stitch, as new rows and columns are), or pastes the part that fits, cut
    // at the side of a whole stitch. The pasted cells become the selected block.
    enum class PasteFit { Grow, Clip };
    EditResult pasteBlock(PasteFit fit);

    // --- the repeat (ChartRepeat.cpp) ------------------------------------------------------
    // The chart's repeat ("Rapport"): the motif that is knitted again and again across the
    // piece and up its length. A chart has at most one. Like the selected block it names its
    // cells by position and follows them when rows or columns come or go (a deleted line inside
    // it narrows it, one outside moves it); mirroring a block that holds it whole mirrors it
    // too. Every change of it is one step of the history.

    // "Als Rapport markieren": the selected block, widened to whole stitches.
    EditResult markRepeat();
    // "Rapport aufheben".
    EditResult clearRepeat();

    // "Rapport wiederholen": the repeat `across` times side by side and `up` times above each
    // other (each 1 to kMaxRepeatCopies; 1 leaves that direction as it is). The copies stand
    // left of and above the marked cells, which stay the repeat and keep their numbers on the
    // page (counted from the right and from the bottom); the rows and columns outside the
    // repeat keep their place beside it, and the rows (columns) crossing it are repeated
    // whole, so that edge stitches stay at the edges. Refused when the chart would grow beyond
    // kMaxChartLines or a wide stitch reaches across a side of the repeat.
    static constexpr int kMaxRepeatCopies = 100;
    struct TiledSize {
        std::int32_t rows = 0;
        std::int32_t columns = 0;
        bool allowed() const {
            return rows >= 1 && columns >= 1 && rows <= kMaxChartLines && columns <= kMaxChartLines;
        }
    };
    // The chart's size after tiling; 0 x 0 without a repeat.
    TiledSize tiledSize(int across, int up) const;
    EditResult tileRepeat(int across, int up);

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

    // The selected block; empty when none. Kept until the next click, it follows its cells
    // when rows or columns come or go, and goes with the chart it belongs to.
    CellBlock block;
    // The copied block: `rows` x `columns` cells, row by row. Like the row and column copy
    // buffers it holds its cells' references and survives New and Open.
    struct BlockBuffer {
        std::int32_t rows = 0;
        std::int32_t columns = 0;
        std::vector<TFeld> cells;
    };
    BlockBuffer copyblock;
    void Freecopyblock();

    // The repeat; empty when the chart has none.
    CellBlock repeat;

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

    // Rows (columns) came or went: `count` inserted at 0-based `at`, or -count removed from
    // `at` on. Every change of the grid's lines passes here, so that whatever names cells by
    // position (the selected block) follows them.
    void linesMoved(bool columns, std::int32_t at, std::int32_t count);
    // Gives the cells of `area` the contents `cells` (row by row), each holding one reference
    // that passes to the cell or is given back. Notes every change for the history; true when
    // a cell changed.
    bool writeBlock(const CellBlock& area, std::vector<TFeld>& cells);
    // The cells of `area` as copies (one reference each), row by row.
    std::vector<TFeld> readBlock(const CellBlock& area);
    // A command that rewrites the selected block: one step of the history, the block widened
    // to whole stitches, its cells handed to `change` (row by row, to change in place) and
    // written back unless `change` answers other than Done.
    EditResult rewriteBlock(ChartStepKind kind,
                            const std::function<EditResult(std::vector<TFeld>&)>& change);
    // Adds `rows` empty rows at the bottom and `columns` empty columns at the right; false
    // (and nothing added) when memory ran out.
    bool growChart(std::int32_t rows, std::int32_t columns);
    // Removes the last `rows` rows and `columns` columns.
    void shrinkChart(std::int32_t rows, std::int32_t columns);
    // Replaces the chart by one whose row r is old row `rowSource[r]` and whose column c is old
    // column `columnSource[c]` (each cell one more reference); built off to the side, false
    // with the chart unchanged when memory runs out.
    bool remapGrid(const std::vector<std::int32_t>& rowSource,
                   const std::vector<std::int32_t>& columnSource);
    // The repeat `across` x `up` times (`tile`), or the chart without those copies again: the
    // two ways of a tiling step. Records nothing.
    bool tileLines(const CellBlock& motif, int across, int up, bool tile);
    // After the block was mirrored: the repeat, when the block holds it whole, with it.
    void mirrorRepeat(bool leftToRight);
    EditResult afterMirror(EditResult result, const CellBlock& repeatBefore, bool leftToRight);
    // Puts `rows` in place of the chart's rows (which are released) without touching anything
    // else; a large chart's memory goes back to the system.
    void swapInRows(TDynaArrayOf<TZeile>& rows, std::int32_t rowCount, std::int32_t columnCount);

    std::vector<LegendEntry> legend_;
    bool legendValid_ = false;
    const TStich* fillStitch() const;
    EditResult insertColumnAt(std::uint32_t position);
    EditResult insertRowAt(std::uint32_t position);
    void deleteColumnAt(std::uint32_t position);
    void deleteRowAt(std::uint32_t position);
};
