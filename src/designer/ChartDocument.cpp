#include "ChartDocument.h"

#include "foundation/DibCopy.h"
#include "foundation/Memory.h"
#include "foundation/OwnedText.h"
#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QFileInfo>

#include <algorithm>
#include <new>

ChartDocument::ChartDocument() = default;

ChartDocument::~ChartDocument() {
    FreeAllStiche();
    FreeAllDoc();
    Freecopyspalte();
    Freecopyzeile();
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
    // Empty records own nothing, so releasing every record is harmless.
    for (TFeld& cell : cells) {
        astich = &cell.stich;
        FreeAStich();
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
    FreeAllDoc();
    zeilen.swapRecords(rows);
    cellGrid.valid = false;
    azeilen = rowCount;
    aspalten = columnCount;
}

std::uint64_t ChartDocument::gridBytes(std::int32_t rows, std::int32_t columns) {
    return std::uint64_t(std::max(rows, 0)) * (sizeof(TZeile) + sizeof(TDynaArrayOf<TFeld>) +
                                               std::uint64_t(std::max(columns, 0)) * sizeof(TFeld));
}

void ChartDocument::FreeAllDoc() {
    releaseRows(zeilen);
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
    std::uint64_t bytes = 0;
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
    TStich& copy = cell.stich;
    cell.belegt = true;
    cell.legendKey = 0;
    copy.bezeichnung = copyOwnedText(stich.bezeichnung);
    copy.abkuerzung = copyOwnedText(stich.abkuerzung);
    copy.hinreihe = copyOwnedText(stich.hinreihe);
    copy.rueckreihe = copyOwnedText(stich.rueckreihe);
    copy.di = copyDib(stich.di);
    copy.breite = stich.breite;

    bool ok = copy.bezeichnung && copy.abkuerzung && copy.hinreihe && copy.rueckreihe &&
              (copy.di.poi || !stich.di.poi);
    const SymbolSize size = placedSymbolSize(stich);
    if (ok && size.cut) {
        ok = ResizeDIB(copy.di, size.width, size.height, true);
    }
    if (!ok) {
        releaseStitch(copy);
        cell = TFeld{};
    }
    return ok;
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
    std::uint64_t pictureBudget = memoryBudget - structureBytes;
    const std::uint64_t perCell = fill ? placedStitchBytes(*fill) : 0;

    TZeile* builtMirror = nullptr;
    TDynaArrayOf<TZeile> built(&builtMirror);
    bool structureOk = true;
    bool picturesOk = true;

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
            if (fill && picturesOk) {
                picturesOk = perCell <= pictureBudget && placeStitch(*cell, *fill);
                pictureBudget -= picturesOk ? perCell : 0;
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

QString ChartDocument::captionFor(const QString& maincap) const {
    const QString name =
        afilename.isEmpty() ? QStringLiteral("unbenannt.tpd") : QFileInfo(afilename).fileName();
    return maincap + QStringLiteral(" - [") + name +
           (changed ? QStringLiteral("*]") : QStringLiteral("]"));
}
