#include "ShapeTools.h"

#include "foundation/grafikrw3/grafikrw3.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace shapetools {

namespace {

// Rounding to nearest, ties to even.
std::int64_t roundEven(double v) {
    return std::int64_t(std::nearbyint(v));
}

void segment(dib& picture, std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
             std::uint32_t color) {
    auto fit = [](std::int64_t v) {
        return std::int32_t(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    grafikrw3::line(picture, fit(x1), fit(y1), fit(x2), fit(y2), color);
}

} // namespace

void drawWideLine(dib& picture, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                  int breite, std::uint32_t color) {
    const int w = std::max(breite, 1);
    const double dx = double(x2) - x1;
    const double dy = double(y2) - y1;
    double angle = 0;
    if (std::abs(dy) <= std::abs(dx)) {
        angle = dx == 0 ? 45 : 45 * dy / dx;
    } else {
        angle = 90 - 45 * dx / dy;
    }
    const double r = std::numbers::pi * angle / 180;
    const double sinR = std::sin(r), cosR = std::cos(r);
    const int hi = w / 2;
    const int lo = -(w / 2) + (w % 2 == 0 ? 1 : 0);
    std::int64_t ps = roundEven(sinR * lo);
    std::int64_t pc = roundEven(cosR * lo);
    for (int k = lo; k <= hi; ++k) {
        const std::int64_t s = roundEven(sinR * k);
        const std::int64_t c = roundEven(cosR * k);
        segment(picture, x1 - s, y1 + c, x2 - s, y2 + c, color);
        // The two lines between this offset and the previous one close the gaps.
        segment(picture, x1 - ps, y1 + c, x2 - ps, y2 + c, color);
        segment(picture, x1 - s, y1 + pc, x2 - s, y2 + pc, color);
        ps = s;
        pc = c;
    }
}

QRect wideLineBounds(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                     int breite) {
    const int reach = std::max(breite, 1) / 2 + 1;
    return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                 QPoint(std::max(x1, x2), std::max(y1, y2)))
        .adjusted(-reach, -reach, reach, reach);
}

void drawShape(dib& picture, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
               bool ellipse, bool filled, std::uint32_t color) {
    if (ellipse) {
        (filled ? grafikrw3::FilledEllipse : grafikrw3::ellipse)(picture, x1, y1, x2, y2, color);
    } else {
        (filled ? grafikrw3::recht_filled : grafikrw3::rechteck)(picture, x1, y1, x2, y2, color);
    }
}

} // namespace shapetools
