#include "ChartDocument.h"

#include "foundation/DibCopy.h"
#include "foundation/Memory.h"
#include "foundation/OwnedDib.h"
#include "foundation/OwnedText.h"
#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QFileInfo>

#include <algorithm>
#include <new>
#include <unordered_map>

namespace {

// Replacing a chart that took at least this much hands the freed memory back to the system.
constexpr std::uint64_t kGiveBackBytes = 16u << 20;

} // namespace

ChartDocument::ChartDocument() = default;

ChartDocument::~ChartDocument() {
    history.onChange = nullptr; // whoever listened may be half gone already
    FreeAllStiche();
    FreeAllDoc();
    Freecopyspalte();
    Freecopyzeile();
    Freecopyblock();
}

void ChartDocument::FreeAStich() {
    releaseStitch(*astich);
}

void ChartDocument::FreeAllStiche() {
    stiche.First();
    while (stiche.WhileNext()) {
        FreeAStich();
    }
    stiche.Clear();
}

void ChartDocument::releaseCells(TDynaArrayOf<TFeld>& cells) {
    // Empty records hold nothing, so releasing every record is harmless.
    for (const TFeld& cell : cells) {
        pool.release(cell.stich);
    }
    cells.Clear();
}

void ChartDocument::releaseRows(TDynaArrayOf<TZeile>& rows) {
    for (TZeile row : rows) {
        if (row) { // a row whose array could not be made is a null reference
            releaseCells(*row);
            delete row;
        }
    }
    rows.Clear();
}

TZeile ChartDocument::newRow() {
    return new (std::nothrow) TDynaArrayOf<TFeld>(&aspalte);
}

void ChartDocument::adoptRows(TDynaArrayOf<TZeile>& rows, std::int32_t rowCount,
                              std::int32_t columnCount) {
    swapInRows(rows, rowCount, columnCount);
    // The block and the repeat named cells of the old chart.
    block = {};
    repeat = {};
    // A new chart starts a new history; its steps held parts of the old chart.
    history.clear();
}

void ChartDocument::swapInRows(TDynaArrayOf<TZeile>& rows, std::int32_t rowCount,
                               std::int32_t columnCount) {
    const std::uint64_t sharedBefore = pool.bytes();
    const std::uint64_t oldGrid = gridBytes(azeilen, aspalten);
    FreeAllDoc();
    zeilen.swapRecords(rows);
    cellGrid.valid = false;
    azeilen = rowCount;
    aspalten = columnCount;
    const std::uint64_t sharedAfter = pool.bytes();
    const std::uint64_t released =
        oldGrid + (sharedBefore > sharedAfter ? sharedBefore - sharedAfter : 0);
    // A large chart replaced by a small one should not stay held until the program ends.
    if (released >= kGiveBackBytes) {
        memory::giveBack();
    }
}

std::uint64_t ChartDocument::gridBytes(std::int32_t rows, std::int32_t columns) {
    return std::uint64_t(std::max(rows, 0)) * (sizeof(TZeile) + sizeof(TDynaArrayOf<TFeld>) +
                                               std::uint64_t(std::max(columns, 0)) * sizeof(TFeld));
}

void ChartDocument::FreeAllDoc() {
    releaseRows(zeilen);
    cellsChanged();
}

void ChartDocument::Freecopyzeile() {
    releaseCells(copyzeile);
}

void ChartDocument::Freecopyspalte() {
    releaseCells(copyspalte);
}

namespace {

// Size of the picture a cell keeps for a stitch picture of `width` pixels (at most 100 per
// cell of the stitch's width); the height shrinks with it.
struct SymbolSize {
    std::int32_t width;
    std::int32_t height;
    bool cut;
};

SymbolSize placedSymbolSize(const TStich& stich) {
    const std::int32_t width = DIBWidth(stich.di);
    const std::int32_t height = DIBHeight(stich.di);
    // A width below one cell only comes from damaged files; it must not shrink the symbol away.
    const std::int32_t limit = std::max(stich.breite, 1) * kMaxSymbolWidthPerCell;
    if (width <= limit) {
        return {width, height, false};
    }
    return {limit, std::int32_t(std::int64_t(height) * limit / width), true};
}

} // namespace

std::uint64_t ChartDocument::placedStitchBytes(const TStich& stich) {
    std::uint64_t bytes = sizeof(SharedStitch);
    for (const char16_t* text :
         {stich.bezeichnung, stich.abkuerzung, stich.hinreihe, stich.rueckreihe}) {
        bytes += std::uint64_t(ownedTextLength(text) + 1) * sizeof(char16_t);
    }
    if (stich.di.poi) {
        const SymbolSize size = placedSymbolSize(stich);
        const std::int64_t row = grafikrw3::rowBytes(size.width, DIBBitCount(stich.di));
        bytes +=
            sizeof(BITMAPINFOHEADER) + DIBColorTableSize(stich.di) * sizeof(RGBQUAD) +
            std::uint64_t(std::max<std::int64_t>(row, 0)) * std::uint64_t(std::max(size.height, 1));
    }
    return bytes;
}

bool ChartDocument::placeStitch(TFeld& cell, const TStich& stich) {
    const SymbolSize size = placedSymbolSize(stich);
    const SharedStitch* shared = nullptr;
    if (!size.cut) {
        shared = pool.share(StitchContent::of(stich, stich.di));
    } else {
        OwnedDib cut(copyDib(stich.di));
        if (cut && ResizeDIB(cut.get(), size.width, size.height, true)) {
            shared = pool.share(StitchContent::of(stich, cut.get()));
        }
    }
    if (!shared) {
        return false;
    }
    cell.belegt = true;
    cell.stich = shared;
    cell.breite = stich.breite;
    return true;
}

bool ChartDocument::buildChart(std::int32_t rows, std::int32_t columns, std::int32_t fillIndex) {
    return buildChart(rows, columns, fillIndex, memory::budgetBytes());
}

bool ChartDocument::buildChart(std::int32_t rows, std::int32_t columns, std::int32_t fillIndex,
                               std::uint64_t memoryBudget) {
    const TStich* fill = fillIndex >= 0 && std::uint32_t(fillIndex) < stiche.count
                             ? stiche.at(std::uint32_t(fillIndex))
                             : nullptr;
    // With lazy overcommit a too large chart would not fail but get the program killed, so the
    // cells are planned against the memory the machine can really give.
    const std::uint64_t structureBytes = gridBytes(rows, columns);
    if (structureBytes > memoryBudget) {
        showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
        return false;
    }
    // Every cell shares the one record of the fill stitch.
    const std::uint64_t pictureBudget = memoryBudget - structureBytes;
    bool picturesOk = !fill || placedStitchBytes(*fill) <= pictureBudget;
    TFeld filled; // the first filled cell, copied into the others (records may move)

    TZeile* builtMirror = nullptr;
    TDynaArrayOf<TZeile> built(&builtMirror);
    bool structureOk = true;

    for (std::int32_t r = 0; r < rows && structureOk; ++r) {
        TZeile* slot = built.Add();
        TZeile row = slot ? newRow() : nullptr;
        if (!row) {
            structureOk = false;
            break;
        }
        *slot = row;
        for (std::int32_t c = 0; c < columns; ++c) {
            TFeld* cell = row->Add();
            if (!cell) {
                structureOk = false;
                break;
            }
            if (filled.belegt) {
                copyCell(*cell, filled);
            } else if (fill && picturesOk) {
                picturesOk = placeStitch(*cell, *fill);
                filled = *cell;
            }
        }
    }

    if (!structureOk) {
        releaseRows(built);
        return false;
    }
    adoptRows(built, rows, columns);
    if (!picturesOk) {
        showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
    }
    return true;
}

const std::vector<ChartDocument::LegendEntry>& ChartDocument::legendEntries() {
    if (legendValid_) {
        return legend_;
    }
    legend_.clear();
    std::unordered_multimap<std::uint64_t, const SharedStitch*> listed;
    const SharedStitch* previous = nullptr;
    std::int32_t r = 0;
    for (TZeile row : zeilen) {
        std::int32_t c = 0;
        for (const TFeld& cell : *row) {
            // Neighbouring cells mostly share their record: one comparison settles them.
            if (cell.belegt && cell.stich != previous) {
                previous = cell.stich;
                const std::uint64_t key = cell.stich->legendKey;
                const auto [first, last] = listed.equal_range(key);
                if (std::none_of(first, last, [&](const auto& entry) {
                        return StitchPool::sameLegendLine(*entry.second, *cell.stich);
                    })) {
                    listed.emplace(key, cell.stich);
                    legend_.push_back({key, r, c});
                }
            }
            ++c;
        }
        ++r;
    }
    legendValid_ = true;
    return legend_;
}

void ChartDocument::SetChanged() {
    changed = true;
    if (history.atSavedState()) {
        history.forgetSaved();
    }
}

void ChartDocument::SetUnChanged() {
    changed = false;
    history.markSaved();
}

QString ChartDocument::captionFor(const QString& maincap) const {
    const QString name =
        afilename.isEmpty() ? QStringLiteral("unbenannt.tpd") : QFileInfo(afilename).fileName();
    return maincap + QStringLiteral(" - [") + name +
           (changed ? QStringLiteral("*]") : QStringLiteral("]"));
}
