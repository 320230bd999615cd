#include "ProjectFile.h"

#include "FontRecord.h"
#include "PictureBlock.h"
#include "ProjectExtensions.h"
#include "foundation/ByteStream.h"
#include "foundation/OwnedText.h"
#include "foundation/TextRecord.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

namespace ProjectFile {

namespace {

// Flag and rectangle: the least a cell takes in the file.
constexpr std::int64_t kMinCellBytes = 17;
constexpr std::int32_t kMaxStitchWidth = 10;

void writeStitch(ByteWriter& out, const SharedStitch& s) {
    WriteTextRecord(out, s.bezeichnung);
    WriteTextRecord(out, s.abkuerzung);
    WriteTextRecord(out, s.hinreihe);
    WriteTextRecord(out, s.rueckreihe);
    PictureBlock::write(out, s.di);
}

void writeRect(ByteWriter& out, const CellRect& r) {
    out.writeInt32(r.left);
    out.writeInt32(r.top);
    out.writeInt32(r.right);
    out.writeInt32(r.bottom);
}

bool readRect(ByteReader& in, CellRect& r) {
    in.readInt32(r.left);
    in.readInt32(r.top);
    in.readInt32(r.right);
    return in.readInt32(r.bottom);
}

bool writeText(ByteWriter& out, const QString& text) {
    char16_t* owned = ownedTextFromString(text);
    const bool ok = owned && WriteTextRecord(out, owned);
    freeOwnedText(owned);
    return ok;
}

FileStatus readText(ByteReader& in, QString& text) {
    char16_t* owned = ReadTextRecord(in);
    if (!owned) {
        return in.stopped() ? FileStatus::Stopped : FileStatus::Damaged;
    }
    text = ownedTextToString(owned);
    freeOwnedText(owned);
    return FileStatus::Ok;
}

FileStatus failure(const ByteReader& in) {
    return in.stopped() ? FileStatus::Stopped : FileStatus::Damaged;
}

// A text record into `text`, which keeps its memory from cell to cell. Like an owned text it
// ends at its first zero character.
bool readScratchText(ByteReader& in, std::u16string& text) {
    std::int32_t length = 0;
    if (!in.readInt32(length) || length < 0 || std::int64_t(length) * 2 > in.remaining()) {
        in.fail();
        return false;
    }
    text.resize(std::size_t(length));
    if (!in.readBytes(text.data(), std::int64_t(length) * 2)) {
        return false;
    }
    if constexpr (Q_BYTE_ORDER != Q_LITTLE_ENDIAN) {
        for (char16_t& c : text) {
            c = char16_t(qFromLittleEndian<std::uint16_t>(&c));
        }
    }
    text.resize(std::min(text.size(), text.find(u'\0')));
    return true;
}

// The four texts and the picture of a cell's stitch, read without owning anything and shared
// through the pool; `previous` is the record of the cell before, which most cells match.
struct StitchReader {
    std::u16string texts[4];
    // For a preview: pictures larger than this come sampled down to fit; 0 for none.
    std::int32_t maxWidth = 0;
    std::int32_t maxHeight = 0;

    FileStatus read(ByteReader& in, StitchPool& pool, const SharedStitch* previous,
                    const SharedStitch*& out) {
        for (std::u16string& text : texts) {
            if (!readScratchText(in, text)) {
                return failure(in);
            }
        }
        PictureBlock::InPlace picture;
        const FileStatus status = maxHeight > 0
                                      ? PictureBlock::readInPlace(in, picture, maxWidth, maxHeight)
                                      : PictureBlock::readInPlace(in, picture);
        if (status != FileStatus::Ok) {
            return status == FileStatus::Damaged ? failure(in) : status;
        }
        StitchContent content;
        content.bezeichnung = texts[0];
        content.abkuerzung = texts[1];
        content.hinreihe = texts[2];
        content.rueckreihe = texts[3];
        content.width = picture.width;
        content.height = picture.height;
        content.bits = picture.bits;
        content.colors = picture.colors;
        content.colorCount = picture.entries;
        content.rows = picture.rows;
        content.bytew = picture.bytew;
        out = pool.share(content, previous);
        return out ? FileStatus::Ok : FileStatus::NoMemory;
    }
};

bool readFinite(ByteReader& in, double& value) {
    double v = 0;
    if (!in.readDouble(v) || !std::isfinite(v)) {
        in.fail();
        return false;
    }
    value = v;
    return true;
}

// Parts 2 to 9 into `rows` and `settings`; the pictures that are new to the document's pool
// may take `pictureBudget` bytes.
FileStatus readBody(ByteReader& in, StitchReader& stitches, ChartDocument& doc,
                    TDynaArrayOf<TZeile>& rows, std::int32_t rowCount, std::int32_t columnCount,
                    PageSettings& settings, std::uint64_t pictureBudget,
                    ProjectExtensions::Found& extensions) {
    const SharedStitch* previous = nullptr;
    const std::uint64_t sharedBefore = doc.pool.bytes();
    for (std::int32_t r = 0; r < rowCount; ++r) {
        TZeile* slot = rows.Add();
        TZeile row = slot ? doc.newRow() : nullptr;
        if (!row) {
            return FileStatus::NoMemory;
        }
        *slot = row;
        std::int32_t cells = 0;
        if (!in.readInt32(cells) || cells != columnCount) {
            return failure(in);
        }
        for (std::int32_t c = 0; c < cells; ++c) {
            TFeld* cell = row->Add();
            if (!cell) {
                return FileStatus::NoMemory;
            }
            if (!in.readFlag(cell->belegt) || !readRect(in, cell->feldrect)) {
                return failure(in);
            }
            if (cell->belegt) {
                const FileStatus status = stitches.read(in, doc.pool, previous, cell->stich);
                if (status != FileStatus::Ok) {
                    cell->belegt = false;
                    return status;
                }
                previous = cell->stich;
                if (doc.pool.bytes() - sharedBefore > pictureBudget) {
                    return FileStatus::NoMemory;
                }
            }
        }
    }

    PageSettings s = settings;
    std::int32_t firstRow = 0;
    readFinite(in, s.breitMm);
    readFinite(in, s.randMm);
    readFinite(in, s.penWidMm);
    in.readInt32(firstRow);
    in.readFlag(s.alleRechts);
    in.readFlag(s.ersteRechts);
    in.readFlag(s.dontShowLinks);
    if (!in.ok()) {
        return failure(in);
    }
    s.firstRow = firstRow;
    for (QString* text : {&s.caption, &s.text}) {
        const FileStatus status = readText(in, *text);
        if (status != FileStatus::Ok) {
            return status;
        }
    }
    for (PageFont* font : {&s.numberFont, &s.captionFont, &s.textFont}) {
        if (!FontRecord::read(in, *font)) {
            return failure(in);
        }
    }

    // The optional tail: the legend cell width, then the cells' widths.
    if (!in.atEnd() && !readFinite(in, s.breitLegendeMm)) {
        return failure(in);
    }
    if (!in.atEnd()) {
        std::int32_t tailRows = 0;
        if (!in.readInt32(tailRows) || tailRows != rowCount) {
            return failure(in);
        }
        for (TZeile row : rows) {
            std::int32_t cells = 0;
            if (!in.readInt32(cells) || cells != columnCount) {
                return failure(in);
            }
            for (TFeld& cell : *row) {
                bool belegt = false;
                if (!in.readFlag(belegt) || belegt != cell.belegt) {
                    return failure(in);
                }
                if (belegt && (!in.readInt32(cell.breite) || cell.breite < 0 ||
                               cell.breite > kMaxStitchWidth)) {
                    return failure(in);
                }
            }
        }
        // Whatever follows the tail is extensions, which never fail the load.
        extensions = ProjectExtensions::read(in, rowCount, columnCount);
        if (in.stopped()) {
            return FileStatus::Stopped;
        }
    }
    settings = s;
    return FileStatus::Ok;
}

} // namespace

ChartCells ChartCells::of(const ChartDocument& doc) {
    ChartCells cells{doc.aspalten, doc.azeilen, {}, doc.repeat};
    cells.cellRows.reserve(doc.zeilen.count);
    for (TZeile row : doc.zeilen) {
        cells.cellRows.emplace_back(row->begin(), row->end());
    }
    return cells;
}

bool write(QIODevice& device, const ChartDocument& doc, const PageSettings& settings,
           const ProgressCallback& progress) {
    return write(device, ChartCells::of(doc), settings, progress);
}

bool write(QIODevice& device, const ChartCells& cells, const PageSettings& settings,
           const ProgressCallback& progress) {
    ByteWriter out(device);
    ProgressReporter reporter(progress);
    const auto rowCount = std::int32_t(cells.cellRows.size());
    out.writeInt32(cells.columns);
    out.writeInt32(cells.rows);
    out.writeInt32(rowCount);
    std::int64_t rowsDone = 0;
    for (std::span<const TFeld> row : cells.cellRows) {
        out.writeInt32(std::int32_t(row.size()));
        for (const TFeld& cell : row) {
            out.writeFlag(cell.belegt);
            writeRect(out, cell.feldrect);
            if (cell.belegt) {
                writeStitch(out, *cell.stich);
            }
        }
        if (!out.ok() || !reporter.report(++rowsDone, rowCount)) {
            return false;
        }
    }

    out.writeDouble(settings.breitMm);
    out.writeDouble(settings.randMm);
    out.writeDouble(settings.penWidMm);
    out.writeInt32(settings.firstRow);
    out.writeFlag(settings.alleRechts);
    out.writeFlag(settings.ersteRechts);
    out.writeFlag(settings.dontShowLinks);
    writeText(out, settings.caption);
    writeText(out, settings.text);
    FontRecord::write(out, settings.numberFont);
    FontRecord::write(out, settings.captionFont);
    FontRecord::write(out, settings.textFont);

    out.writeDouble(settings.breitLegendeMm);
    out.writeInt32(rowCount);
    for (std::span<const TFeld> row : cells.cellRows) {
        out.writeInt32(std::int32_t(row.size()));
        for (const TFeld& cell : row) {
            out.writeFlag(cell.belegt);
            if (cell.belegt) {
                out.writeInt32(cell.breite);
            }
        }
    }
    ProjectExtensions::write(out, cells.repeat);
    return out.flush();
}

namespace {

FileStatus readChart(QIODevice& device, std::int64_t size, ChartDocument& doc,
                     PageSettings& settings, std::uint64_t memoryBudget,
                     const ProgressCallback& progress, const PreviewCellSide& previewCellSide,
                     QStringList* notes) {
    ByteReader in(device, size, progress);
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    std::int32_t rowBlocks = 0;
    in.readInt32(columns);
    in.readInt32(rows);
    in.readInt32(rowBlocks);
    // Every cell takes at least its flag and rectangle, every row its count: counts that
    // cannot be in the file are rejected before anything is allocated.
    if (!in.ok() || rows < 1 || columns < 1 || rowBlocks != rows ||
        in.remaining() / rows < 4 + kMinCellBytes * std::int64_t(columns)) {
        return failure(in);
    }
    // Cells with equal stitches share them, so only the pictures new to the document count
    // beside the cells themselves.
    const std::uint64_t gridBytes = ChartDocument::gridBytes(rows, columns);
    if (gridBytes > memoryBudget) {
        return FileStatus::NoMemory;
    }

    StitchReader stitches;
    if (previewCellSide) {
        stitches.maxHeight = std::max(1, previewCellSide(columns, rows));
        stitches.maxWidth = std::int32_t(
            std::min<std::int64_t>(std::int64_t(stitches.maxHeight) * kMaxStitchWidth, INT32_MAX));
    }
    TZeile* mirror = nullptr;
    TDynaArrayOf<TZeile> built(&mirror);
    ProjectExtensions::Found extensions;
    const FileStatus status = readBody(in, stitches, doc, built, rows, columns, settings,
                                       memoryBudget - gridBytes, extensions);
    if (status == FileStatus::Ok) {
        doc.adoptRows(built, rows, columns);
        doc.repeat = extensions.repeat;
        if (notes) {
            *notes = extensions.notes;
        }
    } else {
        doc.releaseRows(built);
    }
    return status;
}

} // namespace

FileStatus read(QIODevice& device, std::int64_t size, ChartDocument& doc, PageSettings& settings,
                std::uint64_t memoryBudget, const ProgressCallback& progress, QStringList* notes) {
    return readChart(device, size, doc, settings, memoryBudget, progress, {}, notes);
}

FileStatus readPreview(QIODevice& device, std::int64_t size, ChartDocument& doc,
                       PageSettings& settings, std::uint64_t memoryBudget,
                       const PreviewCellSide& cellSide) {
    return readChart(device, size, doc, settings, memoryBudget, {}, cellSide, nullptr);
}

} // namespace ProjectFile
