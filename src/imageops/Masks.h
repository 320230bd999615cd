#pragma once

#include "foundation/dib.h"

#include <cstdint>
#include <span>

// Whole-mask work on 1-bit pictures (selection masks and the masks of floating pixels), shared
// by the image document and the operations that build or combine masks.
namespace imageops {

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Sets every bit of every row, padding included, to `value`.
void fillMask(dib& mask, bool value);

// Complements every byte of every row, padding bits included.
void invertMask(dib& mask);

// Writes `value` into `mask` wherever `area` holds 1 (both 1-bit pictures of one size).
void combineMask(dib& mask, const dib& area, bool value);

// True when some pixel inside the mask's width holds 1.
bool maskHasAny(const dib& mask);

// The polygon through the pixels `points`, closed from the last point back to the first, filled
// with the even-odd rule (pixel (x, y) is inside when the point (x, y) is) together with its
// outline, in `value`.
// Points may lie outside the picture; only pixels inside it are written.
void fillPolygon(dib& picture, std::span<const Point> points, std::uint32_t value);

} // namespace imageops
