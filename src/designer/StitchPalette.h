#pragma once

#include "designer/PageSettings.h"
#include "designer/TStich.h"
#include "foundation/TDynaArrayOf.h"

#include <QRect>

class QPainter;

// The stitch palette beside the chart: one row of `c` pixels per library stitch with its
// symbol in a white box and its name; the selected stitch on a dark blue bar.
namespace StitchPalette {

// Height of the palette for `count` stitches.
int height(std::uint32_t count, int c);

// `stichnr` kept inside the library (0 for an empty one).
std::int32_t clampSelection(std::int32_t stichnr, std::uint32_t count);

// The stitch under a click at height y.
std::int32_t indexAt(int y, int c);

struct RowGeometry {
    QRect box;    // white symbol box, corners included
    QRect symbol; // where the picture is drawn
    int nameX;    // left edge of the name
};
// Geometry of the row of stitch `index` (0-based); `breite` 0 counts as 1.
RowGeometry rowGeometry(const TStich& stich, std::int32_t index, int c);

// Paints the palette `width` pixels wide. A stitch of width 0 gets width 1 stored back.
void paint(QPainter& painter, TDynaArrayOf<TStich>& stiche, std::int32_t stichnr, int c, int width,
           const PageFont& font, int dpi);

} // namespace StitchPalette
