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

// x raised to the power y.
double power(double x, double y);

// Copy of `source` (any depth) as an 8-bit picture of the same size in a fixed palette of
// 216 colours and 40 greys, by ordered dithering. For showing true colour on screens of 256
// colours or fewer. `out` holds no picture when memory is short.
void DIBHalftoneDIB(dib* out, const dib& source);
// The same, scaled to width x height (each at least 1) by averaging.
void DIBHalftoneDIBXY(dib* out, const dib& source, std::int32_t width, std::int32_t height);

} // namespace grafikrw3
