#pragma once

#include "designer/ChartDocument.h"
#include "designer/FileStatus.h"
#include "designer/PageSettings.h"
#include "foundation/Progress.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

class QIODevice;

// The project file (.tpd): a flat little-endian stream without signature.
//   1  int32 columns, int32 rows, int32 R (rows that follow)
//   2  R rows: int32 C, then C cells: flag, 16 bytes rectangle, and for a stitch its four text
//      records and its picture block
//   3  float64 cell width, margin and line width in mm
//   4  int32 first row number
//   5  flags: all row numbers right, first row from the right, hide wrong-side rows
//   6  text records heading and text under the chart
//   7  three font records: numbers, heading, text and legend
//   8  (optional) float64 legend cell width in mm
//   9  (optional) R again, per row C, per cell the flag and for a stitch its int32 width
//  10  (optional) extensions, each with a tag, a version and a length (ProjectExtensions.h):
//      the repeat
// docs/project-file.md describes every field.
namespace ProjectFile {

// The cells a file stores: `columns` x `rows` as the chart declares them, its rows of cells,
// top row first, and its repeat.
struct ChartCells {
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    std::vector<std::span<const TFeld>> cellRows;
    CellBlock repeat;

    static ChartCells of(const ChartDocument& doc);
};

// Writes the chart of `doc` and the settings.
bool write(QIODevice& out, const ChartDocument& doc, const PageSettings& settings,
           const ProgressCallback& progress = {});
// The same from cells held elsewhere (a copy taken for writing on another thread).
bool write(QIODevice& out, const ChartCells& cells, const PageSettings& settings,
           const ProgressCallback& progress = {});

// Reads a project of `size` bytes into `doc` and `settings`. The chart is read off to the side
// and replaces the document's rows only when the whole file was sound; otherwise `doc` and
// `settings` are left exactly as they were. The check boxes that the file does not store and,
// for a file without the optional part, the legend cell width keep their values.
// `memoryBudget` is the memory the loaded chart may take. What the file holds beyond the known
// parts and cannot be read is passed over: the chart loads, and `notes` (when given) receives
// a sentence for the user about each such part.
FileStatus read(QIODevice& in, std::int64_t size, ChartDocument& doc, PageSettings& settings,
                std::uint64_t memoryBudget, const ProgressCallback& progress = {},
                QStringList* notes = nullptr);

// The largest cell side, in pixels, a preview of a chart of `columns` x `rows` cells draws.
using PreviewCellSide = std::function<std::int32_t(std::int32_t columns, std::int32_t rows)>;

// Reads a project as read() does, for a preview: every cell's picture is kept at most
// `cellSide` pixels high and ten cells wide, sampled as the page draws it, and only the pixel
// rows that takes are read from the file.
FileStatus readPreview(QIODevice& in, std::int64_t size, ChartDocument& doc, PageSettings& settings,
                       std::uint64_t memoryBudget, const PreviewCellSide& cellSide);

} // namespace ProjectFile
