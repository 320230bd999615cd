#include "ToolBarPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace toolbarpictures {

namespace {

void sheet(QPainter& p) {
    QPainterPath page;
    page.moveTo(5, 2.5);
    page.lineTo(14.5, 2.5);
    page.lineTo(19.5, 7.5);
    page.lineTo(19.5, 21.5);
    page.lineTo(5, 21.5);
    page.closeSubpath();
    p.setBrush(kPaper);
    p.setPen(QPen(kInk, 1.3));
    p.drawPath(page);
    QPainterPath fold;
    fold.moveTo(14.5, 2.5);
    fold.lineTo(14.5, 7.5);
    fold.lineTo(19.5, 7.5);
    p.drawPath(fold);
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
    QPainterPath back;
    back.moveTo(2.5, 5.5);
    back.lineTo(9, 5.5);
    back.lineTo(11, 7.5);
    back.lineTo(19.5, 7.5);
    back.lineTo(19.5, 19.5);
    back.lineTo(2.5, 19.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(kFolder);
    QPainterPath front;
    front.moveTo(5, 10.5);
    front.lineTo(22, 10.5);
    front.lineTo(19.5, 19.5);
    front.lineTo(2.5, 19.5);
    front.closeSubpath();
    p.drawPath(front);
}

void drawSave(QPainter& p) {
    p.setPen(QPen(kInk, 1.3));
    p.setBrush(kAccent);
    QPainterPath body;
    body.moveTo(3.5, 3.5);
    body.lineTo(17.5, 3.5);
    body.lineTo(20.5, 6.5);
    body.lineTo(20.5, 20.5);
    body.lineTo(3.5, 20.5);
    body.closeSubpath();
    p.drawPath(body);
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
    QPainterPath head;
    head.moveTo(2, 9.5);
    head.lineTo(9, 3.5);
    head.lineTo(9, 15.5);
    head.closeSubpath();
    p.setPen(QPen(kInk, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kAccent);
    p.drawPath(head);
}

} // namespace toolbarpictures
