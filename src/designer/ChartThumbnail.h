// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "designer/ChartDocument.h"
#include "designer/FileStatus.h"
#include "designer/PageSettings.h"

#include <QImage>

#include <cstdint>

class QIODevice;

// Previews of a chart's page, as file managers show them: the exported page, drawn a few
// times larger than the preview and shrunk by averaging, so that grid lines and symbols blend
// in rather than vanish or flicker.
namespace ChartThumbnail {

// The largest cell side, in pixels, the page of a chart of `columns` x `rows` cells is drawn
// with for a preview of `size` pixels; the pictures of its cells need no more than that.
std::int32_t cellSide(int size, std::int32_t columns, std::int32_t rows);

// The resolution the page is drawn at for a preview of `size` pixels: about four times the
// preview, never with cells smaller than two pixels.
int drawingDpi(ChartDocument& doc, const PageSettings& settings, int size);

// Reads the chart of a project file of `bytes` bytes for a preview of `size` pixels: the
// cells' pictures only as large as they are drawn, and only their rows that takes (the
// settings and cell widths follow the grid, so the rest is read whole).
FileStatus read(QIODevice& in, std::int64_t bytes, int size, ChartDocument& doc,
                PageSettings& settings, std::uint64_t memoryBudget);

// The page at most `size` pixels on its longer side (smaller only where the page is small even
// at the highest resolution), white where the page shows nothing. The memory it takes beside
// the result is a band of the drawn page. Null when the picture cannot be made.
QImage render(ChartDocument& doc, const PageSettings& settings, int size);

} // namespace ChartThumbnail
