#include "ToolBarPictures.h"

#include <QPainter>
#include <QPainterPath>

#include <initializer_list>

namespace toolbarpictures {

namespace {

// The line through `points`, closed back to the first one when `closed`.
QPainterPath path(std::initializer_list<QPointF> points, bool closed = true) {
    QPainterPath result;
    result.moveTo(*points.begin());
    for (auto point = points.begin() + 1; point != points.end(); ++point) {
        result.lineTo(*point);
    }
    if (closed) {
        result.closeSubpath();
    }
    return result;
}

void sheet(QPainter& p) {
    p.setBrush(kPaper);
    p.setPen(QPen(kInk, 1.3));
    p.drawPath(path({{5, 2.5}, {14.5, 2.5}, {19.5, 7.5}, {19.5, 21.5}, {5, 21.5}}));
    p.drawPath(path({{14.5, 2.5}, {14.5, 7.5}, {19.5, 7.5}}, false));
}

} // namespace

void drawNew(QPainter& p) {
    sheet(p);
    // A few chart cells on the page.
    p.setPen(QPen(kAccent, 1));
    for (int i = 0; i < 3; ++i) {
        p.drawLine(QPointF(7.5, 11 + 3 * i), QPointF(16.5, 11 + 3 * i));
        p.drawLine(QPointF(7.5 + 3 * i, 11), QPointF(7.5 + 3 * i, 17));
    }
    p.drawLine(QPointF(16.5, 11), QPointF(16.5, 17));
}

void drawOpen(QPainter& p) {
    p.setPen(QPen(kInk, 1.3));
    p.setBrush(kFolder.darker(115));
    p.drawPath(path({{2.5, 5.5}, {9, 5.5}, {11, 7.5}, {19.5, 7.5}, {19.5, 19.5}, {2.5, 19.5}}));
    p.setBrush(kFolder);
    p.drawPath(path({{5, 10.5}, {22, 10.5}, {19.5, 19.5}, {2.5, 19.5}}));
}

void drawSave(QPainter& p) {
    p.setPen(QPen(kInk, 1.3));
    p.setBrush(kAccent);
    p.drawPath(path({{3.5, 3.5}, {17.5, 3.5}, {20.5, 6.5}, {20.5, 20.5}, {3.5, 20.5}}));
    p.setBrush(kPaper);
    p.drawRect(QRectF(7, 3.5, 9, 6));
    p.drawRect(QRectF(6.5, 13, 11, 7.5));
    p.setBrush(kInk);
    p.drawRect(QRectF(12.5, 4.8, 2, 3.4));
}

void drawUndo(QPainter& p) {
    QPainterPath bow;
    bow.moveTo(7, 9.5);
    bow.lineTo(14, 9.5);
    bow.cubicTo(22.5, 9.5, 22.5, 20.5, 14, 20.5);
    bow.lineTo(9, 20.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kAccent, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(bow);
    p.setPen(QPen(kInk, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kAccent);
    p.drawPath(path({{2, 9.5}, {9, 3.5}, {9, 15.5}}));
}

} // namespace toolbarpictures
