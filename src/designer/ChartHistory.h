#pragma once

#include "designer/CellBlock.h"
#include "designer/PageSettings.h"
#include "designer/SharedStitch.h"

#include <QRegion>
#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ChartDocument;
struct TFeld;

// What a step did; it names the step in the menu ("Rückgängig: Zeile einfügen").
enum class ChartStepKind : std::uint8_t {
    PlaceStitch,
    MarkColumn,
    MarkRow,
    ClearMarks,
    InsertColumnLeft,
    InsertColumnRight,
    DeleteMarkedColumn,
    DeleteFirstColumn,
    DeleteLastColumn,
    PasteColumn,
    InsertRowAbove,
    InsertRowBelow,
    DeleteMarkedRow,
    DeleteTopRow,
    DeleteBottomRow,
    PasteRow,
    ShiftRowLeft,
    ShiftRowRight,
    Settings,
    BlockCut,
    BlockPaste,
    BlockClear,
    BlockFill,
    BlockMirrorHorizontally,
    BlockMirrorVertically,
    MarkRepeat,
    ClearRepeat,
    TileRepeat,
};

// The undo and redo history of a chart document: every change of the cells, the marks and the
// page settings is one step.
//
// A step holds what changed, not a copy of the chart: the cells a click replaced, the row or
// column that came or went (equal neighbouring cells once), the settings before and after.
// Cell contents are references to the document's shared stitch records; a step is one holder
// of each reference it keeps (StitchPool) and gives them back when it is dropped.
//
// The document's commands record their steps themselves (Recording); the window records the
// settings, which live in its controls. Steps are kept while their memory stays within the
// budget; the oldest go first. A new step drops the steps that could be redone.
//
// The history also knows which state was last saved or loaded, so that undoing back to it
// takes the changed mark away again. Marks and settings do not count as changes of the chart
// (they never set the mark), so states that differ only in them count as the saved one.
class ChartHistory {
public:
    explicit ChartHistory(ChartDocument& doc);
    ~ChartHistory();
    ChartHistory(const ChartHistory&) = delete;
    ChartHistory& operator=(const ChartHistory&) = delete;

    // What an undo or redo did, for the window to show.
    struct Outcome {
        bool done = false;
        bool noMemory = false;      // the step could not be applied; the chart is as it was
        bool layoutChanged = false; // rows or columns came, went or moved: paint everything
        QRegion dirty;              // otherwise what to paint again, in chart-view pixels
        std::optional<PageSettings> settings; // settings to put back into the controls
        bool changed = false; // the chart now differs from the state last saved or loaded
    };
    Outcome undo();
    Outcome redo();

    bool canUndo() const { return position_ > 0; }
    bool canRedo() const { return position_ < steps_.size(); }
    // What the next undo or redo does ("Zeile einfügen"); empty when there is nothing.
    QString undoText() const;
    QString redoText() const;
    std::size_t undoCount() const { return position_; }
    // Steps dropped for the budget since the history began (or was last cleared).
    std::int64_t dropped() const { return base_; }
    std::size_t redoCount() const { return steps_.size() - position_; }

    // Records the step of the document command running while it lives. Content noted by the
    // command's parts (cells, rows, columns) and a change of the marks make the step, which is
    // kept when the recording ends; a command that changed nothing leaves no step.
    // A PlaceStitch recording that placed nothing but moved the marks becomes a marking step.
    class Recording {
    public:
        Recording(ChartHistory& history, ChartStepKind kind);
        ~Recording();
        Recording(const Recording&) = delete;
        Recording& operator=(const Recording&) = delete;

    private:
        ChartHistory& history_;
        bool active_ = false;
    };

    // Called by the document's commands while a recording is open; otherwise they do nothing.
    // `before` and `after` are the content of the cell at the 0-based row and column.
    void noteCell(std::int32_t row, std::int32_t column, const TFeld& before, const TFeld& after);
    // The cells of a whole column (row) at a 0-based position, as they are now: before the
    // command changes them (`after` false) or once it has (`after` true).
    void noteColumn(std::int32_t column, bool after);
    void noteRow(std::int32_t row, bool after);
    // A command that moves cells within one row.
    void noteLine(std::int32_t line);
    // A block command added empty rows at the bottom and columns at the right (before it
    // noted the cells it then filled).
    void noteGrowth(std::int32_t rows, std::int32_t columns);
    // The repeat was tiled `across` x `up` times.
    void noteTiling(std::int32_t across, std::int32_t up);

    // A change of the page settings. Changes of the same text or number field that follow
    // each other make one step (a typing burst), until sealMerging() is called.
    void recordSettings(const PageSettings& before, const PageSettings& after);
    // The next change starts a step of its own (the window calls this when the focus moves).
    void sealMerging() { mergeOpen_ = false; }

    // An empty history; the present state is the saved one (a new or loaded chart).
    void clear();
    // The present state is the one last saved.
    void markSaved();
    // No state of the history is the saved one any more.
    void forgetSaved() { savedAt_ = kNoState; }
    bool atSavedState() const { return savedAt_ == present(); }
    // Whether the chart differs from the state last saved or loaded, as far as the history
    // can tell (true when that state is out of reach).
    bool differsFromSaved() const;

    // The memory the steps may take, in bytes: a sixteenth of what the machine had available
    // when the first history was made, unless set.
    void setBudget(std::uint64_t bytes);
    std::uint64_t budget() const { return budget_; }
    std::uint64_t bytes() const { return bytes_; }

    // Calls `visit` once for every reference the steps hold (for checking the counts).
    void visitReferences(const std::function<void(const SharedStitch*)>& visit) const;

    // Grows with every change of the history (a step kept, undone, redone, merged; cleared),
    // so that views derived from the chart know when to be made again.
    std::uint64_t revision() const { return revision_; }
    // Called after every such change.
    std::function<void()> onChange;

private:
    // A cell's content as a step keeps it: one reference to its shared record.
    struct Content {
        const SharedStitch* stich = nullptr;
        std::int32_t breite = 0;
        bool belegt = false;
        bool operator==(const Content&) const = default;
    };
    struct CellChange {
        std::int32_t row;
        std::int32_t column;
        Content before;
        Content after;
    };
    // `count` neighbouring cells of a row or column with equal content, one reference.
    struct Run {
        Content content;
        std::uint32_t count;
    };
    using Runs = std::vector<Run>;
    struct Marks {
        bool row = false;
        bool column = false;
        std::int32_t rownr = 0;
        std::int32_t colnr = 0;
        bool operator==(const Marks&) const = default;
    };
    struct SettingsChange {
        PageSettings before;
        PageSettings after;
        int field = -1; // the one field that changed, or -1 for several
    };
    struct Step {
        ChartStepKind kind = ChartStepKind::PlaceStitch;
        bool changesChart = false; // sets the changed mark
        bool broken = false;       // a note could not be kept: the step cannot be undone
        Marks marksBefore;
        Marks marksAfter;
        std::int32_t line = -1; // 0-based row or column of a line command
        std::vector<CellChange> cells;
        Runs before; // the line's cells before the command (deleted or pasted over)
        Runs after;  // the line's cells after it (inserted or pasted)
        std::unique_ptr<SettingsChange> settings;
        // Block commands: the selected block before and after, and the rows and columns
        // they added to the chart.
        CellBlock blockBefore;
        CellBlock blockAfter;
        std::int32_t grownRows = 0;
        std::int32_t grownColumns = 0;
        // The repeat before and after every command step (it follows the lines that come and
        // go, and a line taken back does not bring a lost repeat back by itself). A tiling
        // step keeps how often it repeated the motif across and up.
        CellBlock repeatBefore;
        CellBlock repeatAfter;
        std::int32_t across = 1;
        std::int32_t up = 1;
        // Chart changes among all steps before this one, counted from the first step ever
        // kept; the difference of two such counts says whether two states differ.
        std::uint64_t chartChangesBefore = 0;
        std::uint64_t bytes = 0;
    };

    static constexpr std::int64_t kNoState = -1;

    std::int64_t present() const { return base_ + std::int64_t(position_); }
    std::uint64_t chartChangesAt(std::int64_t state) const;
    Marks currentMarks() const;
    void setMarks(const Marks& marks, QRegion* dirty);
    Runs takeLine(bool column, std::int32_t index);
    void releaseContent(const Content& content);
    void releaseStep(Step& step);
    std::uint64_t estimateBytes(const Step& step) const;
    // Keeps `step` as the newest one, dropping redo steps and, over the budget, old ones.
    void push(Step step);
    void dropOldest();
    void dropRedo();
    void finishRecording();
    void changed();

    // Applying a step; false when memory ran out (the chart is left as it was).
    bool apply(const Step& step, bool forward, Outcome& out);
    void putCell(std::int32_t row, std::int32_t column, const Content& content, Outcome& out,
                 bool& legendChanged);
    // The cells of a step, as they were before it or after it (undone in reverse order);
    // true when the legend changed.
    bool putCells(const Step& step, bool forward, Outcome& out);
    bool insertColumn(std::int32_t column, const Runs& runs);
    bool insertRow(std::int32_t row, const Runs& runs);
    void fillLine(bool column, std::int32_t index, const Runs& runs);
    bool fits(const Step& step, bool forward) const;
    Outcome step(bool forward);

    ChartDocument& doc_;
    std::deque<Step> steps_;
    std::size_t position_ = 0;          // steps [0, position_) are done and can be undone
    std::int64_t base_ = 0;             // number of steps dropped from the front
    std::int64_t savedAt_ = 0;          // the saved state as base_ + position, or kNoState
    std::uint64_t endChartChanges_ = 0; // chart changes among all steps up to the last one
    std::uint64_t budget_;
    std::uint64_t bytes_ = 0;
    std::uint64_t revision_ = 0;
    bool mergeOpen_ = false;
    std::unique_ptr<Step> recording_; // the step of the command running, if any
    bool applying_ = false;           // an undo or redo runs: the commands' parts note nothing
};
