#pragma once

#include "ImageOp.h"

#include <cstdint>

// Deformations of 24-bit pictures that keep the size: perspective and skew, and bulging. They
// read every pixel from `from`, an unchanged copy of the picture of the same size and depth
// (the preview dialog's backup), and write into `di`, only where `selection` allows. Pictures
// of 1, 4 or 8 bits, and a `from` that does not match, are left alone (Unchanged). They run to
// completion; progress goes 0, row * 100 / (H - 1) per row, 0.
namespace imageops {

struct PerspParams {
    std::int32_t stark = 50; // strength, -100 ... 100 percent
    bool Horz = true;        // along the rows (true) or the columns
    bool Persp = true;       // perspective (true) or skew ("Schrägstellen")
};

// Clears the selected pixels to `col2` (red in the low byte) and maps every pixel of `from`
// forward onto them, later rows and columns overwriting earlier ones:
// - perspective, horizontal: column x is squeezed toward the middle row by
//   l = stark * x div (W - 1) percent (for negative stark from the right edge instead);
// - perspective, vertical: row e is squeezed toward the middle column alike, by its row;
// - skew, horizontal: row e moves by s div 2 - s * e div H with s = W * stark div 100;
// - skew, vertical: column x moves down by s div 2 - s * x div W with s = H * stark div 100.
// A picture one pixel wide (or one row high) has no axis to squeeze along: the perspective then
// leaves it as `from` shows it.
OpStatus Perspektive(dib& di, const dib& from, const PerspParams& p, std::uint32_t col2,
                     const Selection& selection, const ProgressCallback& progress = {});

struct WoelbenParams {
    double wert = 1.4; // exponent, 0.01 ... 10; above 1 bulges outward, below 1 inward
    bool horz = true;  // deform along the rows
    bool vert = true;  // deform along the columns
};

// Every selected pixel (j, i) takes the pixel of `from` at the column
// c -+ trunc(c * (|j - c| / c)^wert) (c = W div 2, the sign as j lies left or right of c),
// limited to the picture, when `horz`, and at the row found alike when `vert`. An axis of one
// pixel has no centre to bulge around and keeps its pixels.
OpStatus Woelben(dib& di, const dib& from, const WoelbenParams& p, const Selection& selection,
                 const ProgressCallback& progress = {});

} // namespace imageops
