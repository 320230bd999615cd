#pragma once

#include "foundation/dib.h"

#include <QRect>

#include <cstdint>

// The line and shape tools' drawing into a picture, image pixels. Both ignore any selection.
namespace shapetools {

// A straight line of `breite` pixels (1 to 100) from (x1, y1) to (x2, y2): `breite` parallel
// one-pixel lines offset across the line's pseudo-angle, with the gaps between neighbouring
// offsets filled. A horizontal line widens vertically, a vertical one horizontally.
void drawWideLine(dib& picture, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                  int breite, std::uint32_t color);

// The image rectangle drawWideLine may change (not cut to the picture).
QRect wideLineBounds(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                     int breite);

// Rectangle or ellipse with corners (x1, y1) and (x2, y2), outlined or filled.
void drawShape(dib& picture, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
               bool ellipse, bool filled, std::uint32_t color);

} // namespace shapetools
