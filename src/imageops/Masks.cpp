#include "Masks.h"

#include "foundation/grafikrw3/PixelRows.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace imageops {

namespace {

std::size_t maskBytes(const dib& mask) {
    return std::size_t(DIBHeight(mask)) * std::size_t(mask.bytew);
}

} // namespace

void fillMask(dib& mask, bool value) {
    if (mask.poi) {
        std::memset(mask.poi, value ? 0xff : 0x00, maskBytes(mask));
    }
}

void invertMask(dib& mask) {
    if (!mask.poi) {
        return;
    }
    std::uint8_t* p = mask.poi;
    for (std::size_t i = 0, n = maskBytes(mask); i < n; ++i) {
        p[i] = std::uint8_t(~p[i]);
    }
}

void combineMask(dib& mask, const dib& area, bool value) {
    if (!mask.poi || !area.poi || DIBHeight(mask) != DIBHeight(area) || mask.bytew != area.bytew) {
        return;
    }
    std::uint8_t* m = mask.poi;
    const std::uint8_t* a = area.poi;
    const std::size_t n = maskBytes(mask);
    if (value) {
        for (std::size_t i = 0; i < n; ++i) {
            m[i] |= a[i];
        }
    } else {
        for (std::size_t i = 0; i < n; ++i) {
            m[i] &= std::uint8_t(~a[i]);
        }
    }
}

bool maskHasAny(const dib& mask) {
    if (!mask.poi) {
        return false;
    }
    const std::int32_t width = DIBWidth(mask);
    const std::size_t whole = std::size_t(width / 8);
    const auto tail = std::uint8_t(0xff00u >> (width % 8));
    for (std::int32_t y = 0; y < DIBHeight(mask); ++y) {
        const std::uint8_t* row = grafikrw3::rowAt(mask, y);
        if (std::any_of(row, row + whole, [](std::uint8_t b) { return b != 0; }) ||
            (width % 8 != 0 && (row[whole] & tail) != 0)) {
            return true;
        }
    }
    return false;
}

void fillPolygon(dib& picture, std::span<const Point> points, std::uint32_t value) {
    if (!picture.poi || points.empty()) {
        return;
    }
    struct Edge {
        double x0, y0, x1, y1; // y0 < y1
    };
    std::vector<Edge> edges;
    std::int64_t top = INT64_MAX, bottom = INT64_MIN;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Point a = points[i];
        const Point b = points[(i + 1) % points.size()];
        top = std::min<std::int64_t>({top, a.y, b.y});
        bottom = std::max<std::int64_t>({bottom, a.y, b.y});
        if (a.y != b.y) {
            edges.push_back(a.y < b.y ? Edge{double(a.x), double(a.y), double(b.x), double(b.y)}
                                      : Edge{double(b.x), double(b.y), double(a.x), double(a.y)});
        }
    }
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });

    const std::int32_t width = DIBWidth(picture);
    top = std::max<std::int64_t>(top, 0);
    bottom = std::min<std::int64_t>(bottom, DIBHeight(picture) - 1);
    std::vector<const Edge*> active;
    std::vector<double> crossings;
    std::size_t next = 0;
    for (std::int64_t y = top; y <= bottom; ++y) {
        // The points name pixels, so a pixel's centre is the point (x, y) itself: sampling
        // half a pixel off would leave gaps between the fill and the outline's lines.
        const auto yc = double(y);
        while (next < edges.size() && edges[next].y0 <= yc) {
            active.push_back(&edges[next++]);
        }
        std::erase_if(active, [yc](const Edge* e) { return e->y1 <= yc; });
        crossings.clear();
        for (const Edge* e : active) {
            crossings.push_back(e->x0 + (yc - e->y0) * (e->x1 - e->x0) / (e->y1 - e->y0));
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
            // Pixels whose centre lies in [from, to); a centre on the right edge is the
            // outline's.
            const double from = std::ceil(crossings[i]);
            const double to = std::ceil(crossings[i + 1]) - 1;
            if (to < 0 || from > width - 1 || to < from) {
                continue;
            }
            const auto x1 = std::int32_t(std::max(from, 0.0));
            const auto x2 = std::int32_t(std::min(to, double(width - 1)));
            grafikrw3::recht_filled(picture, x1, std::int32_t(y), x2, std::int32_t(y), value);
        }
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Point a = points[i];
        const Point b = points[(i + 1) % points.size()];
        grafikrw3::line(picture, a.x, a.y, b.x, b.y, value);
    }
}

} // namespace imageops
