#pragma once

#include "ImageTypes.h"

#include <QPoint>
#include <QRect>

#include <vector>

class QPainter;

// What the view draws over the image between repaints of the image itself: the rubber band of
// a line, shape or selection drag, the clone tool's cross and the free-hand outline. Both are drawn
// inverting (XOR with white) as the user drags, in paint-box pixels; the view repaints only the
// rectangles a figure touches.

struct RubberBand {
    enum class Kind { None, Line, Rectangle, Ellipse, Cross };
    Kind kind = Kind::None;
    QPoint from; // (sx, sy); the centre of a cross
    QPoint to;   // (ox, oy) once drawn

    friend bool operator==(const RubberBand&, const RubberBand&) = default;
};

// The paint-box rectangles a rubber band covers: a line's box, a rectangle's four edges, an
// ellipse's box. Empty for Kind::None.
std::vector<QRect> rubberBandRects(const RubberBand& band);

// Line from `from` up to but without `to`; outline of the pixels from min(from, to) to
// max(from, to) - 1 on both axes; ellipse inscribed in from ... to - 1; a cross of two
// diagonals reaching 10 pixels from `from` (its centre, met twice, shows through). Each other
// pixel is met once.
void drawRubberBand(QPainter& painter, const RubberBand& band);

// The rectangle with corners `a` and `b`, both included, given in either order. (QRect's
// normalized() turns a backwards rectangle into one a row and a column short on each side.)
QRect spanned(QPoint a, QPoint b);

// The box of the segment from `a` to `b` of a free-hand outline.
QRect segmentRect(const TPoint& a, const TPoint& b);

// The free-hand outline as one connected line through `points`, the last point left out.
// Only segments that meet `clip` are drawn.
void drawFreehandOutline(QPainter& painter, const std::vector<TPoint>& points, const QRect& clip);

// Sets the painter to invert what it draws over.
void setInvertingPen(QPainter& painter);
