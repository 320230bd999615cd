#pragma once

#include <cstdint>

class QPainter;

namespace grafikrw3 {

// Outline of the ellipse inscribed in the rectangle of the two corners (either order), drawn
// with the painter's current pen one device pixel per outline point. The points are those of
// `ellipse` and each is drawn once, so an inverting pen (previews) can be drawn a second time
// to restore the view. Points outside the painter's clip are skipped.
void ScreenEllipse(QPainter& dc, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                   std::int32_t y2);

} // namespace grafikrw3
