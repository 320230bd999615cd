#pragma once

#include "ImageTypes.h"

#include "foundation/dib.h"

#include <QRect>

#include <cstdint>

// Pixel loops of the floating selection: lifting selected pixels, putting floating pixels onto
// the image and reading them back. Floating pixels have the image's depth; a floating mask is
// a 1-bit picture of their size (null: every floating pixel belongs to the selection).
// Positions outside the image are skipped, never read or written.
namespace floating {

// The image rectangle the floating pixels cover at (x, y), cut to the image.
QRect coveredArea(const dib& image, const dib& pixels, std::int32_t x, std::int32_t y);

// Copies the pixels of rectangle `r` (cut to the pictures) from `from` into `to`, two pictures
// of one size and depth.
void copyArea(dib& to, const dib& from, const QRect& r);

// For every pixel of `r` (inside the image): its selection bit goes to `mask`, and a selected
// pixel goes to `pixels` (both of r's size), the image pixel then taking `fillValue` when
// `fill`.
void liftSelected(dib& image, const dib& selection, const TRect& r, dib& pixels, dib& mask,
                  bool fill, std::uint32_t fillValue);

// Each floating pixel that belongs to the floating selection and lies on a selected image pixel
// at (x + fx, y + fy) takes the image's value there.
void refreshFrom(const dib& image, const dib& selection, std::int32_t x, std::int32_t y,
                 dib& pixels, const dib* mask);

// Copies the floating pixels that belong to the selection onto the image at (x, y); rows
// straight across where the depths agree.
void composeOpaque(dib& image, const dib& pixels, const dib* mask, std::int32_t x, std::int32_t y);

// Sets the selection bit of every image pixel a floating pixel covers at (x, y).
void markCovered(dib& selection, const dib& pixels, const dib* mask, std::int32_t x,
                 std::int32_t y);

// Transparent composition: pixels equal to `key` are not copied. With `selection`, the bits of
// copied pixels are set and those of `key` pixels cleared, and `key` pixels also leave `mask`
// for good.
void composeTransparent(dib& image, const dib& pixels, dib* mask, std::int32_t x, std::int32_t y,
                        std::uint32_t key, dib* selection);

} // namespace floating
