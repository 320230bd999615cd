#pragma once

#include <cstdint>
#include <cstdlib>

namespace grafikrw3::detail {

// Walks the outline of the ellipse inscribed in the rectangle (x0, y0)-(x1, y1) (corners in
// either order) with integer error terms, one quadrant mirrored into all four. For every step
// `quad(xl, xr, ya, yb)` receives four outline points (xl, ya), (xr, ya), (xl, yb), (xr, yb);
// the spans xl..xr on rows ya and yb lie inside. Works for every rectangle, also for even sizes
// and degenerate ones. The same point may be passed more than once.
template <typename Quad>
void walkEllipse(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, Quad&& quad) {
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

    do {
        quad(x0, x1, y0, y1);
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
        quad(x0 - 1, x1 + 1, y0, y1);
        ++y0;
        --y1;
    }
}

} // namespace grafikrw3::detail
