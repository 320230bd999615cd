#include "Overlay.h"

#include "foundation/grafikrw3/ScreenEllipse.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace {

// Pixels of the straight line from a to b, b itself left out (a screen line's end point).
void appendLine(std::vector<QPoint>& out, QPoint a, QPoint b) {
    int x = a.x(), y = a.y();
    const int dx = std::abs(b.x() - x), dy = -std::abs(b.y() - y);
    const int sx = x < b.x() ? 1 : -1, sy = y < b.y() ? 1 : -1;
    int err = dx + dy;
    while (x != b.x() || y != b.y()) {
        out.emplace_back(x, y);
        const int e2 = 2 * err;
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

// How far the clone cross reaches from its centre, paint-box pixels.
constexpr int kCrossReach = 10;

} // namespace

QRect spanned(QPoint a, QPoint b) {
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

void setInvertingPen(QPainter& painter) {
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 0));
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

std::vector<QRect> rubberBandRects(const RubberBand& band) {
    const QPoint a = band.from, b = band.to;
    switch (band.kind) {
    case RubberBand::Kind::None:
        return {};
    case RubberBand::Kind::Line:
        return {spanned(a, b)};
    case RubberBand::Kind::Ellipse:
        return {spanned(a, b - QPoint(1, 1))};
    case RubberBand::Kind::Cross:
        return {QRect(a - QPoint(kCrossReach, kCrossReach), a + QPoint(kCrossReach, kCrossReach))};
    case RubberBand::Kind::Rectangle: {
        const int l = std::min(a.x(), b.x()), r = std::max(a.x(), b.x()) - 1;
        const int t = std::min(a.y(), b.y()), bt = std::max(a.y(), b.y()) - 1;
        if (r < l || bt < t) {
            return {};
        }
        return {QRect(QPoint(l, t), QPoint(r, t)), QRect(QPoint(l, bt), QPoint(r, bt)),
                QRect(QPoint(l, t), QPoint(l, bt)), QRect(QPoint(r, t), QPoint(r, bt))};
    }
    }
    return {};
}

void drawRubberBand(QPainter& painter, const RubberBand& band) {
    switch (band.kind) {
    case RubberBand::Kind::None:
        return;
    case RubberBand::Kind::Line: {
        std::vector<QPoint> points;
        appendLine(points, band.from, band.to);
        if (!points.empty()) {
            painter.drawPoints(points.data(), int(points.size()));
        }
        return;
    }
    case RubberBand::Kind::Cross: {
        const QPoint c = band.from;
        const QPoint d(kCrossReach, kCrossReach), e(kCrossReach, -kCrossReach);
        std::vector<QPoint> points;
        appendLine(points, c - d, c + d);
        appendLine(points, c + e, c - e);
        painter.drawPoints(points.data(), int(points.size()));
        return;
    }
    case RubberBand::Kind::Ellipse:
        grafikrw3::ScreenEllipse(painter, band.from.x(), band.from.y(), band.to.x() - 1,
                                 band.to.y() - 1);
        return;
    case RubberBand::Kind::Rectangle: {
        // Four edges that do not overlap, so that no pixel is inverted twice.
        const int l = std::min(band.from.x(), band.to.x());
        const int r = std::max(band.from.x(), band.to.x()) - 1;
        const int t = std::min(band.from.y(), band.to.y());
        const int b = std::max(band.from.y(), band.to.y()) - 1;
        if (r < l || b < t) {
            return;
        }
        const QBrush white(Qt::white);
        painter.fillRect(QRect(QPoint(l, t), QPoint(r, t)), white);
        if (b > t) {
            painter.fillRect(QRect(QPoint(l, b), QPoint(r, b)), white);
        }
        if (b - t > 1) {
            painter.fillRect(QRect(QPoint(l, t + 1), QPoint(l, b - 1)), white);
            if (r > l) {
                painter.fillRect(QRect(QPoint(r, t + 1), QPoint(r, b - 1)), white);
            }
        }
        return;
    }
    }
}

QRect segmentRect(const TPoint& a, const TPoint& b) {
    return spanned(QPoint(a.x, a.y), QPoint(b.x, b.y));
}

void drawFreehandOutline(QPainter& painter, const std::vector<TPoint>& points, const QRect& clip) {
    std::vector<QPoint> pixels;
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (segmentRect(points[i - 1], points[i]).intersects(clip)) {
            appendLine(pixels, QPoint(points[i - 1].x, points[i - 1].y),
                       QPoint(points[i].x, points[i].y));
        }
    }
    if (!pixels.empty()) {
        painter.drawPoints(pixels.data(), int(pixels.size()));
    }
}
