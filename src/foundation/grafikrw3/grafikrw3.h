#pragma once

#include "../dib.h"

#include <cstdint>

// The program's image library: pictures in memory, pixel access and drawing primitives.
//
// Coordinates count x from the left and y from the top row (row 0 is the last row in memory).
// A pixel value is the palette index for pictures of 1, 4 or 8 bits and
// red + 256 * green + 65536 * blue for 24-bit pictures. Rectangles may be given with their
// corners in either order.
namespace grafikrw3 {

// Largest pixel block newdib hands out. Row offsets elsewhere are 32-bit signed products of a
// row number and the row length, so a picture must stay below 2 GiB.
constexpr std::int64_t kMaxImageBytes = 0x7fffffff;

// Row length in bytes for `width` pixels of `bits` each, padded to 4 bytes; -1 when the width
// is negative or the length overflows.
std::int64_t rowBytes(std::int64_t width, int bits);

// Fills `out` with a new picture of width x height pixels and 1, 4, 8 or 24 bits per pixel.
// All pixels are zero. For palette pictures `colorCount` entries of the colour table are taken
// from `colorSource` (the rest stays zero); without a source a 1-bit picture gets black and
// white, a 4- or 8-bit picture a grey ramp. `pal` mirrors the colour table.
// Refused (out holds no picture, `poi` null) for other depths, sizes below 1, sizes whose byte
// count overflows or exceeds kMaxImageBytes, and when memory cannot be obtained.
void newdib(dib* out, std::int32_t width, std::int32_t height, std::int32_t bits,
            const BITMAPINFO* colorSource, std::int32_t colorCount);

// Releases the picture, as FreeDIB.
void deldib(dib& picture);

// Pixel value at (x, y); 0 outside the picture or without picture.
std::uint32_t getpixel(const dib& picture, std::int32_t x, std::int32_t y);

// Sets the pixel at (x, y); writes outside the picture change nothing. Palette pictures keep
// the low bits of the value.
void setpixel(dib& picture, std::int32_t x, std::int32_t y, std::uint32_t value);

// One-pixel straight line, both end points included.
void line(dib& picture, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
          std::uint32_t value);

// Outline, respectively filled rectangle spanned by the two corners (both included).
void rechteck(dib& picture, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              std::uint32_t value);
void recht_filled(dib& picture, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                  std::uint32_t value);

// Outline, respectively filled ellipse inscribed in the rectangle of the two corners.
void ellipse(dib& picture, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
             std::uint32_t value);
void FilledEllipse(dib& picture, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                   std::uint32_t value);

// The area a flood fill from (x, y) reaches: the 4-connected pixels whose colour lies within
// `tolerance` of the start pixel's colour (red, green and blue each differ by at most
// `tolerance`; palette pictures compare their colour-table entries, so 0 takes exactly the
// start colour), limited to pixels where `limit` holds 1 when a limit is given. `work` is a
// 1-bit picture of the picture's size; afterwards it holds 1 exactly for the area. `bounds`,
// when given, receives the area's bounding box (inclusive; right < left when it is empty).
// Returns false, with `work` untouched, when the work picture does not fit the picture or
// memory runs out; a start point outside the picture or the limit gives an empty area.
struct FillBounds {
    std::int32_t left = 0, top = 0, right = -1, bottom = -1;
};
bool fillRegion(const dib& picture, std::int32_t x, std::int32_t y, std::int32_t tolerance,
                const dib* limit, dib& work, FillBounds* bounds = nullptr);

// Fill styles and directions of filldib.
enum FillStyle : std::int32_t {
    kFillSolid = 0,
    kFillPattern = 1,
    kFillLinear = 2,
    kFillRectangular = 3,
    kFillSunburst = 4,
    kFillRadial = 5,
};

// Flood fill of the area fillRegion finds from (x, y), limited to mask value 1 when
// `maskSwitch` is 1; every other pixel stays as it is. `work` is a 1-bit scratch picture of the
// picture's size supplied by the caller (it ends up holding the area). Styles: 0 solid
// `color1`; 1 the `pattern` (same depth as the picture) repeated from the picture's top-left
// corner; 2 to 5 gradients from `color1` to `color2` over the area's bounding box, in
// `direction` 0 to 7 (NW-SE, N-S, NE-SW, E-W, SE-NW, S-N, SW-NE, W-E; colour 1 lies on the side
// the direction comes from):
//   2 linear: along the direction, from colour 1's edge or corner to the opposite one;
//   3 rectangular: concentric rectangles around colour 1's corner, edge middle or centre;
//   4 sunburst: circles around that point, colour 2 at the farthest corner;
//   5 radial: rays from the box's centre, colour 1 towards colour 1's side, colour 2 opposite.
// 24-bit pictures mix the colours per channel; palette pictures dither between the two
// indexes (8 x 8 ordered dither). Returns false, with the picture unchanged, when fillRegion
// fails or the pattern style comes without a pattern of the picture's depth.
bool filldib(dib& picture, std::int32_t x, std::int32_t y, std::uint32_t color1,
             std::uint32_t color2, std::int32_t tolerance, const dib& mask, std::int32_t maskSwitch,
             dib& work, std::int32_t style, std::int32_t direction, const dib& pattern);

// x raised to the power y.
double power(double x, double y);

// Copy of `source` (any depth) as an 8-bit picture of the same size in a fixed palette of
// 216 colours and 40 greys, by ordered dithering. For showing true colour on screens of 256
// colours or fewer. `out` holds no picture when memory is short.
void DIBHalftoneDIB(dib* out, const dib& source);
// The same, scaled to width x height (each at least 1) by averaging.
void DIBHalftoneDIBXY(dib* out, const dib& source, std::int32_t width, std::int32_t height);

} // namespace grafikrw3
