#pragma once

#include "ImageTypes.h"

#include "foundation/dib.h"

#include <cstdint>
#include <vector>

// The outline of a selection mask: every selected pixel that touches an unselected
// 4-neighbour or the image border, in scan order (rows from the top, x from the left). While
// row y is scanned a pixel is listed for its right and lower neighbour, so a pixel can appear
// twice and points of row y + 1 are listed among those of row y.
struct SelectionOutline {
    std::vector<TPoint> points;
    // Index of the first point listed while row y was scanned, for y = 0 ... height; the
    // points of rows from..to are all found in [rowStart[from - 1], rowStart[to + 1]).
    std::vector<std::size_t> rowStart;
    TRect bounds; // inclusive; (width - 1, height - 1, 0, 0) when empty
    bool any = false;
};

// Scans a 1-bit mask; whole bytes without an edge are skipped. Returns an empty outline for a
// mask without pixels.
SelectionOutline buildOutline(const dib& mask);
