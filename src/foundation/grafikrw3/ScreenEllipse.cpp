#include "ScreenEllipse.h"

#include "EllipseRaster.h"

#include <QPainter>
#include <QPoint>

#include <algorithm>
#include <limits>
#include <vector>

namespace grafikrw3 {

void ScreenEllipse(QPainter& dc, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                   std::int32_t y2) {
    // Without a clip the device bounds the points anyway; a huge ellipse at a high
    // magnification then still draws only what can be seen.
    QRect bounds = dc.hasClipping() ? dc.clipBoundingRect().toAlignedRect() : QRect();
    if (!bounds.isValid() && dc.device()) {
        bounds = dc.transform().inverted().mapRect(
            QRect(0, 0, dc.device()->width(), dc.device()->height()));
    }
    const bool clip = bounds.isValid();
    std::vector<QPoint> points;
    auto add = [&](std::int64_t x, std::int64_t y) {
        if (clip &&
            (x < bounds.left() || x > bounds.right() || y < bounds.top() || y > bounds.bottom())) {
            return;
        }
        if (x < std::numeric_limits<int>::min() || x > std::numeric_limits<int>::max() ||
            y < std::numeric_limits<int>::min() || y > std::numeric_limits<int>::max()) {
            return;
        }
        points.emplace_back(int(x), int(y));
    };
    detail::walkEllipse(x1, y1, x2, y2,
                        [&](std::int64_t xl, std::int64_t xr, std::int64_t ya, std::int64_t yb) {
                            add(xl, ya);
                            add(xr, ya);
                            add(xl, yb);
                            add(xr, yb);
                        });
    // Mirrored points coincide on the axes and at the tips; an inverting pen must meet each
    // pixel once.
    std::sort(points.begin(), points.end(), [](const QPoint& a, const QPoint& b) {
        return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
    });
    points.erase(std::unique(points.begin(), points.end()), points.end());
    if (!points.empty()) {
        dc.drawPoints(points.data(), int(points.size()));
    }
}

} // namespace grafikrw3
