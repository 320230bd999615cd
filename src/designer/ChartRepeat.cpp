// The chart's repeat: marking it, removing it and tiling it across and up the chart.
#include "ChartDocument.h"

#include "foundation/DibCopy.h"
#include "foundation/Memory.h"
#include "foundation/UserMessage.h"

#include <algorithm>
#include <climits>
#include <new>

namespace {

void reportShortage() {
    showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
}

// The source of every line of a chart of `count` lines after the `size` lines from `first` on
// were repeated `times` times: the copies stand before the lines repeated, so these keep
// their place from the chart's far side.
std::vector<std::int32_t> tiledLines(std::int32_t count, std::int32_t first, std::int32_t size,
                                     int times) {
    const std::int32_t added = size * (times - 1);
    std::vector<std::int32_t> source(std::size_t(count + added));
    for (std::int32_t k = 0; k < count + added; ++k) {
        source[std::size_t(k)] = k < first           ? k
                                 : k < first + added ? first + (k - first) % size
                                                     : k - added;
    }
    return source;
}

// The lines of a tiled chart without the copies.
std::vector<std::int32_t> untiledLines(std::int32_t count, std::int32_t first, std::int32_t size,
                                       int times) {
    const std::int32_t added = size * (times - 1);
    std::vector<std::int32_t> source(std::size_t(count - added));
    for (std::int32_t k = 0; k < count - added; ++k) {
        source[std::size_t(k)] = k < first ? k : k + added;
    }
    return source;
}

} // namespace

ChartDocument::EditResult ChartDocument::markRepeat() {
    ChartHistory::Recording recording(history, ChartStepKind::MarkRepeat);
    block = wholeStitches(block);
    if (block.isEmpty()) {
        return EditResult::NeedBlock;
    }
    if (repeat == block) {
        return EditResult::Unchanged;
    }
    repeat = block;
    return EditResult::Done;
}

ChartDocument::EditResult ChartDocument::clearRepeat() {
    ChartHistory::Recording recording(history, ChartStepKind::ClearRepeat);
    if (repeat.isEmpty()) {
        return EditResult::NeedRepeat;
    }
    repeat = {};
    return EditResult::Done;
}

ChartDocument::TiledSize ChartDocument::tiledSize(int across, int up) const {
    if (repeat.isEmpty()) {
        return {};
    }
    return {
        std::int32_t(std::min<std::int64_t>(azeilen + std::int64_t(repeat.rows) *
                                                          (std::clamp(up, 1, kMaxRepeatCopies) - 1),
                                            INT32_MAX)),
        std::int32_t(std::min<std::int64_t>(
            aspalten + std::int64_t(repeat.columns) * (std::clamp(across, 1, kMaxRepeatCopies) - 1),
            INT32_MAX))};
}

ChartDocument::EditResult ChartDocument::tileRepeat(int across, int up) {
    ChartHistory::Recording recording(history, ChartStepKind::TileRepeat);
    repeat = repeat.clippedTo(azeilen, aspalten);
    if (repeat.isEmpty()) {
        return EditResult::NeedRepeat;
    }
    across = std::clamp(across, 1, kMaxRepeatCopies);
    up = std::clamp(up, 1, kMaxRepeatCopies);
    if (across == 1 && up == 1) {
        return EditResult::Unchanged;
    }
    const TiledSize size = tiledSize(across, up);
    if (!size.allowed()) {
        return EditResult::TooLarge;
    }
    // Columns are copied whole in every row: a stitch reaching across a side of the repeat
    // would be cut in two.
    if (across > 1 && wholeStitches({0, repeat.left, azeilen, repeat.columns}) !=
                          CellBlock{0, repeat.left, azeilen, repeat.columns}) {
        return EditResult::RepeatCutsStitch;
    }
    if (gridBytes(size.rows, size.columns) > memory::budgetBytes()) {
        reportShortage();
        return EditResult::Unchanged;
    }
    const CellBlock motif = repeat;
    if (!tileLines(motif, across, up, true)) {
        return EditResult::Unchanged;
    }
    history.noteTiling(across, up);
    return EditResult::Done;
}

bool ChartDocument::tileLines(const CellBlock& motif, int across, int up, bool tile) {
    const auto lines = tile ? tiledLines : untiledLines;
    try {
        if (!remapGrid(lines(azeilen, motif.top, motif.rows, up),
                       lines(aspalten, motif.left, motif.columns, across))) {
            return false;
        }
    } catch (const std::bad_alloc&) {
        reportShortage();
        return false;
    }
    const int sign = tile ? 1 : -1;
    linesMoved(false, motif.top, sign * motif.rows * (up - 1));
    linesMoved(true, motif.left, sign * motif.columns * (across - 1));
    return true;
}

bool ChartDocument::remapGrid(const std::vector<std::int32_t>& rowSource,
                              const std::vector<std::int32_t>& columnSource) {
    TZeile* mirror = nullptr;
    TDynaArrayOf<TZeile> built(&mirror);
    const auto columns = std::uint32_t(columnSource.size());
    for (const std::int32_t r : rowSource) {
        TZeile* slot = built.Add();
        TZeile row = slot ? newRow() : nullptr;
        TFeld* cells = row ? row->AddMany(columns) : nullptr;
        if (!cells) {
            if (slot && !row) {
                reportShortage();
            }
            delete row;
            if (slot) {
                *slot = nullptr;
            }
            releaseRows(built);
            return false;
        }
        *slot = row;
        const TFeld* source = zeilen[std::uint32_t(r)]->begin();
        // Neighbouring cells mostly share their record: one reference taken per run.
        const SharedStitch* held = nullptr;
        std::uint32_t run = 0;
        for (std::uint32_t k = 0; k < columns; ++k) {
            const TFeld& from = source[columnSource[k]];
            cells[k].belegt = from.belegt;
            cells[k].breite = from.breite;
            cells[k].stich = from.stich;
            if (from.stich != held) {
                StitchPool::retain(held, run);
                held = from.stich;
                run = 0;
            }
            ++run;
        }
        StitchPool::retain(held, run);
    }
    swapInRows(built, std::int32_t(rowSource.size()), std::int32_t(columns));
    cellsChanged();
    return true;
}

void ChartDocument::mirrorRepeat(bool leftToRight) {
    if (repeat.isEmpty() || block.isEmpty() || repeat.clippedTo(azeilen, aspalten) != repeat ||
        !(block.contains(repeat.top, repeat.left) &&
          block.contains(repeat.bottom(), repeat.right()))) {
        return;
    }
    if (leftToRight) {
        repeat.left = block.left + (block.right() - repeat.right());
    } else {
        repeat.top = block.top + (block.bottom() - repeat.bottom());
    }
}
