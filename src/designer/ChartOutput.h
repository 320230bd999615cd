#pragma once

#include "designer/ChartDocument.h"
#include "designer/PageSettings.h"
#include "foundation/Progress.h"
#include "foundation/dib.h"

#include <QSize>

#include <cstdint>

class QPagedPaintDevice;
class QPainter;

// The chart page on paper and as a picture file.
namespace ChartOutput {

// The whole table as the whole-table view sizes it, at `dpi`.
QSize wholeTableSize(const ChartDocument& doc, const PageSettings& settings, int dpi);

struct ExportPlan {
    QSize size;             // pixels of the picture
    std::int64_t bytes = 0; // its pixel memory at 24 bits
    bool fits = false;      // the machine can hold it
    int suggestedDpi = 0;   // the highest resolution that fits, when it does not
};
// Whether a picture of the whole table at `dpi` fits into `budgetBytes`.
ExportPlan planExport(const ChartDocument& doc, const PageSettings& settings, int dpi,
                      std::uint64_t budgetBytes);

// Renders the whole table at `dpi` into `out`, a new white 24-bit picture, in bands, so that
// the pixels exist only once. False (and no picture) when the picture cannot be made.
bool renderPicture(ChartDocument& doc, const PageSettings& settings, int dpi, dib& out,
                   const ProgressCallback& progress = {});

// Prints the page on `device` (printer or PDF) through `painter`, whose printable area is
// `page` pixels at `dpi`. A chart larger than one page is split at cell boundaries over as many
// pages as it needs, in reading order: the grid with the heading on the first page, then the
// legend and the text, broken between their lines. Returns the number of pages.
int printChart(QPagedPaintDevice& device, QPainter& painter, ChartDocument& doc,
               const PageSettings& settings, int dpi, QSize page);

} // namespace ChartOutput
