#include "grafikrw3.h"

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

// Rasterises the ellipse inscribed in the rectangle (x0, y0)-(x1, y1) with integer error
// terms, one quadrant mirrored into all four. With `filled` each pair of mirrored points is
// joined by a span. Works for every rectangle, also for even sizes and degenerate ones.
void rasterEllipse(dib& picture, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                   std::uint32_t value, bool filled) {
    if (!picture.poi) {
        return;
    }
    // The error terms grow with the fourth power of the size: 128 bits keep them exact.
    using Wide = __int128;
    const std::int64_t width = std::llabs(x1 - x0);
    const std::int64_t b = std::llabs(y1 - y0);
    Wide a = width;
    Wide b1 = b & 1;
    Wide dx = 4 * (1 - a) * b * b;
    Wide dy = 4 * (b1 + 1) * a * a;
    Wide err = dx + dy + b1 * a * a;

    if (x0 > x1) {
        x0 = x1;
        x1 += width;
    }
    if (y0 > y1) {
        y0 = y1;
    }
    y0 += (b + 1) / 2;
    y1 = y0 - std::int64_t(b1);
    a = 8 * a * a;
    b1 = 8 * b * b;

    auto plot4 = [&](std::int64_t xl, std::int64_t xr, std::int64_t ya, std::int64_t yb) {
        if (filled) {
            horizontalSpan(picture, xl, xr, ya, value);
            horizontalSpan(picture, xl, xr, yb, value);
        } else {
            put(picture, xr, ya, value);
            put(picture, xl, ya, value);
            put(picture, xl, yb, value);
            put(picture, xr, yb, value);
        }
    };

    do {
        plot4(x0, x1, y0, y1);
        const Wide e2 = 2 * err;
        if (e2 <= dy) {
            ++y0;
            --y1;
            err += dy += a;
        }
        if (e2 >= dx || 2 * err > dy) {
            ++x0;
            --x1;
            err += dx += b1;
        }
    } while (x0 <= x1);

    // Flat ellipses stop too early: finish their tips.
    while (y0 - y1 <= b) {
        plot4(x0 - 1, x1 + 1, y0, y1);
        ++y0;
        --y1;
    }
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
