#include "grafikrw3.h"

#include "EllipseRaster.h"

#include <algorithm>
#include <cstdlib>

namespace grafikrw3 {

namespace {

void horizontalSpan(dib& picture, std::int64_t xa, std::int64_t xb, std::int64_t y,
                    std::uint32_t value) {
    if (y < 0 || y >= DIBHeight(picture)) {
        return;
    }
    if (xa > xb) {
        std::swap(xa, xb);
    }
    xa = std::max<std::int64_t>(xa, 0);
    xb = std::min<std::int64_t>(xb, DIBWidth(picture) - 1);
    for (std::int64_t x = xa; x <= xb; ++x) {
        setpixel(picture, std::int32_t(x), std::int32_t(y), value);
    }
}

void put(dib& picture, std::int64_t x, std::int64_t y, std::uint32_t value) {
    if (x >= 0 && y >= 0 && x <= INT32_MAX && y <= INT32_MAX) {
        setpixel(picture, std::int32_t(x), std::int32_t(y), value);
    }
}

// The ellipse inscribed in the rectangle (x0, y0)-(x1, y1); with `filled` each pair of
// mirrored points is joined by a span.
void rasterEllipse(dib& picture, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                   std::uint32_t value, bool filled) {
    if (!picture.poi) {
        return;
    }
    detail::walkEllipse(x0, y0, x1, y1,
                        [&](std::int64_t xl, std::int64_t xr, std::int64_t ya, std::int64_t yb) {
                            if (filled) {
                                horizontalSpan(picture, xl, xr, ya, value);
                                horizontalSpan(picture, xl, xr, yb, value);
                            } else {
                                put(picture, xr, ya, value);
                                put(picture, xl, ya, value);
                                put(picture, xl, yb, value);
                                put(picture, xr, yb, value);
                            }
                        });
}

} // namespace

void line(dib& picture, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
          std::uint32_t value) {
    if (!picture.poi) {
        return;
    }
    std::int64_t x = x1;
    std::int64_t y = y1;
    const std::int64_t dx = std::llabs(std::int64_t(x2) - x1);
    const std::int64_t dy = -std::llabs(std::int64_t(y2) - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    std::int64_t err = dx + dy;
    for (;;) {
        put(picture, x, y, value);
        if (x == x2 && y == y2) {
            break;
        }
        const std::int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void rechteck(dib& picture, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              std::uint32_t value) {
    horizontalSpan(picture, x1, x2, y1, value);
    horizontalSpan(picture, x1, x2, y2, value);
    for (std::int64_t y = std::min(y1, y2) + std::int64_t(1); y < std::max(y1, y2); ++y) {
        put(picture, x1, y, value);
        put(picture, x2, y, value);
    }
}

void recht_filled(dib& picture, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                  std::uint32_t value) {
    const std::int64_t top = std::max<std::int64_t>(std::min(y1, y2), 0);
    const std::int64_t bottom = std::min<std::int64_t>(std::max(y1, y2), DIBHeight(picture) - 1);
    for (std::int64_t y = top; y <= bottom; ++y) {
        horizontalSpan(picture, x1, x2, y, value);
    }
}

void ellipse(dib& picture, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
             std::uint32_t value) {
    rasterEllipse(picture, x1, y1, x2, y2, value, false);
}

void FilledEllipse(dib& picture, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                   std::uint32_t value) {
    rasterEllipse(picture, x1, y1, x2, y2, value, true);
}

} // namespace grafikrw3
