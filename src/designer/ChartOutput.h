#pragma once

#include "designer/ChartDocument.h"
#include "designer/PageSettings.h"
#include "foundation/Progress.h"
#include "foundation/dib.h"

#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>

class QImage;
class QPagedPaintDevice;
class QPainter;

// The chart page on paper and as a picture file.
namespace ChartOutput {

// The resolutions a picture can be exported at.
constexpr int kMinExportDpi = 10;
constexpr int kMaxExportDpi = 4000;

// An exported picture holds the whole page at `dpi`: the grid, the heading, the legend and the
// text under the chart complete, with the page margin around them. The grid keeps its place
// from the top-left corner as on every page. The text wraps at the text width of a page
// `pageWidth` pixels wide (the printer's, at `dpi`), or at the grid's width when that is wider.

// The page width the text under the chart of an exported picture wraps in.
int exportPageWidth(const ChartDocument& doc, const PageSettings& settings, int dpi,
                    double pageWidthMm);

// The size of the exported picture: what the page shows and the margin around it.
QSize exportSize(ChartDocument& doc, const PageSettings& settings, int dpi, double pageWidthMm);

struct ExportPlan {
    QSize size;             // pixels of the picture
    std::int64_t bytes = 0; // the pixel memory the export holds at once
    bool fits = false;      // the machine can hold it
    int suggestedDpi = 0;   // the highest resolution that fits, when it does not
};
// Whether the export at `dpi` to a file of format `code` fits into `budgetBytes`: formats
// written band by band hold one band of the picture, the others all of it at 24 bits.
ExportPlan planExport(ChartDocument& doc, const PageSettings& settings, int dpi, double pageWidthMm,
                      int code, std::uint64_t budgetBytes);

// Renders the exported picture at `dpi` into `out`, a new white 24-bit picture that records
// the resolution, in bands, so that the pixels exist only once. False (and no picture) when
// the picture cannot be made.
bool renderPicture(ChartDocument& doc, const PageSettings& settings, int dpi, double pageWidthMm,
                   dib& out, const ProgressCallback& progress = {});

// Paints the page of the exported picture of `size` (exportSize) at `dpi` band by band on one
// white image of up to 256 rows, from the top down or, with `bottomUp`, from the bottom up,
// and hands each band to `take` with the picture row it starts at and the rows it holds. The
// bands are the same either way, so that the pixels are too. False when the image cannot be
// made or `take` returns false.
bool paintBands(ChartDocument& doc, const PageSettings& settings, int dpi, double pageWidthMm,
                QSize size, bool bottomUp,
                const std::function<bool(const QImage& band, int top, int rows)>& take);

// Renders the exported picture at `dpi` band by band, from the top down or, with `bottomUp`,
// from the bottom up, and hands each band to `take` as a 24-bit picture of the exported
// width that records the resolution, with the picture row it starts at. Only one band exists
// at a time. False when a band cannot be made or `take` returns false.
bool renderBands(ChartDocument& doc, const PageSettings& settings, int dpi, double pageWidthMm,
                 bool bottomUp, const std::function<bool(const dib& band, int top)>& take);

enum class ExportResult {
    Saved,
    NoMemory,   // the picture, or a band of it, could not be made
    NotWritten, // the file could not be written (or the user stopped)
};
// Renders the exported picture at `dpi` and writes it to `fileName` in format `code`: band by
// band while it is rendered where the format allows it (grafikrw3::BandWriter), otherwise as
// one picture (renderPicture, then SaveDib). The file replaces `fileName` only when complete.
ExportResult exportPicture(ChartDocument& doc, const PageSettings& settings, int dpi,
                           double pageWidthMm, const QString& fileName, int code,
                           const ProgressCallback& progress = {});

// Prints the page on `device` (printer or PDF) through `painter`, whose printable area is
// `page` pixels at `dpi`, on as many sheets as ChartPrinter lays it out on, and `withInstructions`
// the written instructions on further sheets after them (InstructionSheets). Returns the
// number of sheets.
int printChart(QPagedPaintDevice& device, QPainter& painter, ChartDocument& doc,
               const PageSettings& settings, int dpi, QSize page, bool withInstructions = false);

// Prints the page into the PDF file `fileName` titled `title`: A4 sheets without margins at
// 1200 dpi, as the command line writes them. False when the file cannot be written.
bool writePdf(ChartDocument& doc, const PageSettings& settings, const QString& fileName,
              const QString& title, bool withInstructions = false);

} // namespace ChartOutput
