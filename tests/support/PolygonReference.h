#pragma once

#include "Pictures.h"

#include <cstdint>
#include <vector>

// What a free-hand selection must hold, found independently of the scan-line fill: each pixel
// tested on its own against the closed polygon through the pixels `points` (even-odd crossing
// test of the point (x, y) in exact integers), pixels on an edge, and the edges' lines.
template <typename Point>
OwnedDib referencePolygon(int width, int height, const std::vector<Point>& points) {
    OwnedDib out;
    grafikrw3::newdib(&out.get(), width, height, 1, nullptr, 0);
    const std::size_t n = points.size();
    for (std::int64_t y = 0; y < height; ++y) {
        for (std::int64_t x = 0; x < width; ++x) {
            bool inside = false;
            bool onEdge = false;
            for (std::size_t i = 0; i < n; ++i) {
                const std::int64_t ax = points[i].x, ay = points[i].y;
                const std::int64_t bx = points[(i + 1) % n].x, by = points[(i + 1) % n].y;
                const std::int64_t cross = (bx - ax) * (y - ay) - (by - ay) * (x - ax);
                if (cross == 0 && std::min(ax, bx) <= x && x <= std::max(ax, bx) &&
                    std::min(ay, by) <= y && y <= std::max(ay, by)) {
                    onEdge = true;
                }
                // The edge crosses the row y (its lower end counted, its upper not) right of x.
                if ((ay > y) != (by > y) && (by > ay ? cross > 0 : cross < 0)) {
                    inside = !inside;
                }
            }
            grafikrw3::setpixel(out.get(), std::int32_t(x), std::int32_t(y),
                                inside || onEdge ? 1 : 0);
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        grafikrw3::line(out.get(), points[i].x, points[i].y, points[(i + 1) % n].x,
                        points[(i + 1) % n].y, 1);
    }
    return out;
}
