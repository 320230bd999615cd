#pragma once

#include "ImageOp.h"

#include "foundation/OwnedDib.h"

#include <cstdint>

// Geometric transforms: mirroring, quarter turns, turning by any angle, resampling, borders
// and a new canvas. They move pixel values without changing them and work at 1, 4, 8 and 24
// bits. All but the mirroring build a new picture with the source's depth and colour table and
// leave the source alone; the result is empty when the source has no picture, when the new
// size is below one pixel or its pixel block would pass the image library's limit (refused
// before anything is allocated), when memory runs out, or when the user stopped the operation
// through `progress`. The caller decides what to do with the result.
//
// Fill values (`col2`) are pixel values: palette indexes up to 8 bits, red + 256 * green +
// 65536 * blue at 24 bits. Progress goes 0, then after each row row * 100 / (rows - 1), then 0.
namespace imageops {

// Whether a picture of width x height pixels of `bits` each can be made: both sizes at least 1
// and the padded pixel block within grafikrw3::kMaxImageBytes.
bool fitsImageLimit(std::int64_t width, std::int64_t height, int bits);

// An all-zero picture of width x height pixels with the depth and colour table of `like`, or
// empty when fitsImageLimit refuses the size or memory runs out.
OwnedDib newPictureLike(const dib& like, std::int64_t width, std::int64_t height);

// Mirrors left-right, respectively top-bottom, in place. Needs no memory, so it cannot fail;
// Unchanged only without picture. The floating selection's pixels and mask are mirrored the
// same way. These run to completion: a stop request is not asked for.
OpStatus FlipH(dib& di, const ProgressCallback& progress = {});
OpStatus FlipV(dib& di, const ProgressCallback& progress = {});

// Mirrored copies: target(x, y) = source(w - 1 - x, y), respectively source(x, h - 1 - y).
OwnedDib MirrorDibH(const dib& di, const ProgressCallback& progress = {});
OwnedDib MirrorDibV(const dib& di, const ProgressCallback& progress = {});

// Quarter and half turns of a w x h source. RotLeft (counter-clockwise) and RotRight give
// h x w pictures: RotLeft sends (x, y) to (y, w - 1 - x), RotRight to (h - 1 - y, x); Rot180
// sends it to (w - 1 - x, h - 1 - y).
OwnedDib RotLeft(const dib& di, const ProgressCallback& progress = {});
OwnedDib RotRight(const dib& di, const ProgressCallback& progress = {});
OwnedDib Rot180(const dib& di, const ProgressCallback& progress = {});

// Turns the source by `winkel` degrees about its centre, clockwise when `richt` is 1 and
// counter-clockwise otherwise, into a picture large enough for the turned corners. Every target
// pixel takes the nearest source pixel (computed in extended precision, ties to even) or
// `col2` where it falls outside the source. `intp` asks for interpolation, which is not
// offered: the result is the same either way. A non-finite angle gives an empty result.
OwnedDib DibRotxxx(const dib& di, long double winkel, int richt, std::uint32_t col2, bool intp,
                   const ProgressCallback& progress = {});

// The choice of the rotate dialog.
struct RotateParams {
    enum class Winkel { Grad90, Grad180, Grad270, Frei };
    Winkel winkel = Winkel::Frei;
    bool rechts = false;   // clockwise ("Rechts") rather than counter-clockwise ("Links")
    double grad = 45.0;    // the free angle in degrees
    bool interpol = false; // passed on to DibRotxxx
};

// Whether the choice is a quarter or half turn (the floating selection then stays in its box)
// rather than a free angle.
inline bool isRightAngle(const RotateParams& p) {
    return p.winkel != RotateParams::Winkel::Frei;
}

// Carries out the rotate dialog's choice: 90 degrees is RotRight to the right and RotLeft to
// the left, 270 degrees the other way round, 180 degrees Rot180, and a free angle DibRotxxx
// with `col2` for the uncovered corners.
OwnedDib Rotate(const dib& di, const RotateParams& p, std::uint32_t col2,
                const ProgressCallback& progress = {});

struct ResizeParams {
    std::int32_t breit = 1; // new width
    std::int32_t hoch = 1;  // new height
    bool interpol = true;   // bilinear when enlarging a 24-bit picture in both directions
};

// Resamples to breit x hoch: nearest neighbour in 10-bit fixed point, rows counted in memory
// order at 4, 8 and 24 bits and from the top at 1 bit; bilinear (weights out of 1023, so flat
// areas come out one step darker) only at 24 bits with `interpol` when neither size shrinks.
// Sizes below 1 are refused (empty result).
OwnedDib Resize(const dib& di, const ResizeParams& p, const ProgressCallback& progress = {});

// Border widths in pixels.
struct BorderParams {
    std::int32_t top_ = 0;
    std::int32_t bot_ = 0;
    std::int32_t lef_ = 0;
    std::int32_t rig_ = 0;
};

// The source with borders of `col2` (the document's background colour) around it: the result
// is (w + lef_ + rig_) x (h + top_ + bot_).
OwnedDib AddBorders(const dib& di, const BorderParams& p, std::uint32_t col2,
                    const ProgressCallback& progress = {});

struct CanvasParams {
    std::int32_t Breit = 320; // canvas width
    std::int32_t Hoch = 200;  // canvas height
    std::int32_t Links = 0;   // where the source's left column lands (may be negative)
    std::int32_t Oben = 0;    // where the source's top row lands (may be negative)
};

// A Breit x Hoch canvas of `col2` with the source's pixel (x, y) at (x + Links, y + Oben);
// whatever falls off the canvas is cut.
OwnedDib NewCanvas(const dib& di, const CanvasParams& p, std::uint32_t col2,
                   const ProgressCallback& progress = {});

} // namespace imageops
