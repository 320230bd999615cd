#include "EditorIcons.h"

#include "PictureKit.h"

#include "foundation/ui/ToolBarPictures.h"

#include <QPolygonF>

#include <cmath>

namespace editoricons {

using namespace picturekit;

namespace {

constexpr int kGrid = 16;

using Draw = void (*)(QPainter&);

// Standard tool bar -----------------------------------------------------------------------

// New, open, save and undo look as on the chart window's tool bar, drawn on its grid.
template <void (*Shared)(QPainter&)>
void shared(QPainter& p) {
    p.save();
    p.scale(kGrid / 24.0, kGrid / 24.0);
    Shared(p);
    p.restore();
}

void sheet(QPainter& p, qreal x, qreal y) {
    QPainterPath page;
    page.moveTo(x, y);
    page.lineTo(x + 6, y);
    page.lineTo(x + 9, y + 3);
    page.lineTo(x + 9, y + 12);
    page.lineTo(x, y + 12);
    page.closeSubpath();
    p.setPen(pen(kInk, 1));
    p.setBrush(kPaper);
    p.drawPath(page);
    p.drawLine(QPointF(x + 6, y), QPointF(x + 6, y + 3));
    p.drawLine(QPointF(x + 6, y + 3), QPointF(x + 9, y + 3));
}

void drawCut(QPainter& p) {
    p.setPen(pen(kInk, 1.2));
    p.drawLine(QPointF(4, 1.5), QPointF(10.5, 10));
    p.drawLine(QPointF(12, 1.5), QPointF(5.5, 10));
    p.setBrush(kRed);
    p.drawEllipse(QPointF(4.5, 12), 2.5, 2.5);
    p.drawEllipse(QPointF(11.5, 12), 2.5, 2.5);
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(4.5, 12), 1, 1);
    p.drawEllipse(QPointF(11.5, 12), 1, 1);
}

void drawCopy(QPainter& p) {
    sheet(p, 1.5, 1.5);
    sheet(p, 5.5, 3.5);
}

void drawPaste(QPainter& p) {
    p.setPen(pen(kInk, 1));
    p.setBrush(kWood);
    p.drawRect(QRectF(1.5, 2.5, 10, 12));
    p.setBrush(kMetal);
    p.drawRect(QRectF(4.5, 1.5, 4, 2));
    sheet(p, 6.5, 4.5);
}

void drawBack(QPainter& p) {
    // A chart grid with an arrow into it: back to the chart, taking the picture along.
    p.setPen(pen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(6.5, 1.5, 8, 13));
    p.setPen(pen(kAccent, 1));
    for (qreal y : {4.5, 7.5, 10.5}) {
        p.drawLine(QPointF(7, y), QPointF(14, y));
    }
    p.drawLine(QPointF(10.5, 2), QPointF(10.5, 14));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawRect(QRectF(1, 7, 6, 2));
    p.drawPolygon(QPolygonF({QPointF(6, 3.5), QPointF(11, 8), QPointF(6, 12.5)}));
}

// Drawing tools -----------------------------------------------------------------------------

void drawZoom(QPainter& p) {
    p.setPen(pen(kInk, 2.5));
    p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
    p.setPen(pen(kInk, 1));
    p.setBrush(kGlass);
    p.drawEllipse(QPointF(6.5, 6.5), 5, 5);
    p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
    p.drawLine(QPointF(6.5, 4), QPointF(6.5, 9));
}

void drawHand(QPainter& p) {
    QPainterPath hand;
    hand.setFillRule(Qt::WindingFill);
    const qreal tops[] = {3, 1.5, 2, 4};
    for (int i = 0; i < 4; ++i) {
        hand.addRoundedRect(QRectF(4 + 2.5 * i, tops[i], 2.5, 9), 1.2, 1.2);
    }
    hand.addRoundedRect(QRectF(4, 6.5, 10, 8), 2.5, 2.5);
    QPainterPath thumb;
    thumb.addPolygon(
        QPolygonF({QPointF(4.5, 11.5), QPointF(1.2, 7.8), QPointF(2.8, 6.2), QPointF(5.5, 8.5)}));
    thumb.closeSubpath();
    p.drawPath(hand.united(thumb));
}

void drawSelect(QPainter& p) {
    p.setPen(pen(kPaper, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1.5, 3.5, 12, 9));
    QPen dashes = pen(kInk, 1);
    dashes.setDashPattern({2, 2});
    p.setPen(dashes);
    p.drawRect(QRectF(1.5, 3.5, 12, 9));
}

void drawFreeSel(QPainter& p) {
    QPainterPath loop;
    loop.moveTo(4, 10);
    loop.cubicTo(-1, 7, 3, 1.5, 9, 2);
    loop.cubicTo(16, 2.5, 15.5, 9, 9, 10);
    loop.cubicTo(7, 10.3, 5.5, 10.2, 4, 10);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(kPaper, 1));
    p.drawPath(loop);
    QPen dashes = pen(kInk, 1);
    dashes.setDashPattern({2, 1.5});
    p.setPen(dashes);
    p.drawPath(loop);
    QPainterPath rope;
    rope.moveTo(4, 10);
    rope.cubicTo(6, 12, 2, 13, 3.5, 15.5);
    p.setPen(pen(kWood.darker(120), 1));
    p.drawPath(rope);
}

void star(QPainter& p, QPointF centre, qreal outer, const QColor& colour) {
    QPolygonF points;
    for (int i = 0; i < 8; ++i) {
        const qreal r = i % 2 == 0 ? outer : outer * 0.35;
        const qreal angle = i * 3.14159265358979 / 4;
        points << centre + QPointF(r * std::sin(angle), -r * std::cos(angle));
    }
    p.setPen(pen(kInk, 0.6));
    p.setBrush(colour);
    p.drawPolygon(points);
}

void drawMagic(QPainter& p) {
    p.setPen(pen(kInk, 2.5));
    p.drawLine(QPointF(1.5, 14.5), QPointF(9, 7));
    p.setPen(pen(kPaper, 1.2));
    p.drawLine(QPointF(7.6, 8.4), QPointF(9, 7));
    star(p, QPointF(11.5, 4.5), 4, kYellow);
}

void drawDrop(QPainter& p) {
    p.save();
    p.translate(8, 8);
    p.rotate(45);
    p.setPen(pen(kInk, 1));
    p.setBrush(kGlass);
    p.drawRect(QRectF(-1.5, -2, 3, 7));
    QPainterPath tip;
    tip.moveTo(-1.5, 5);
    tip.lineTo(1.5, 5);
    tip.lineTo(0.3, 9);
    tip.lineTo(-0.3, 9);
    tip.closeSubpath();
    p.drawPath(tip);
    p.setBrush(kInk);
    p.drawRect(QRectF(-2.5, -3, 5, 1.5));
    p.setBrush(kRed);
    p.drawRoundedRect(QRectF(-2, -8, 4, 5), 1.8, 1.8);
    p.restore();
}

void drawBrush(QPainter& p) {
    p.save();
    p.translate(8, 8);
    p.rotate(45);
    p.setPen(pen(kInk, 1));
    p.setBrush(kWood);
    p.drawRoundedRect(QRectF(-1.5, -9, 3, 9), 1, 1);
    p.setBrush(kMetal);
    p.drawRect(QRectF(-2, -0.5, 4, 2.5));
    QPainterPath bristles;
    bristles.moveTo(-2, 2);
    bristles.lineTo(2, 2);
    bristles.quadTo(2.2, 6, 0, 8.5);
    bristles.quadTo(-2.2, 6, -2, 2);
    p.setBrush(kAccent);
    p.drawPath(bristles);
    p.restore();
}

void drawClone(QPainter& p) {
    p.setPen(pen(kInk, 1));
    p.setBrush(kWood);
    p.drawEllipse(QPointF(8, 3), 2.5, 2.5);
    p.drawRect(QRectF(6.5, 5, 3, 3.5));
    p.setBrush(kMetal);
    p.drawRoundedRect(QRectF(2.5, 8.5, 11, 3), 1, 1);
    p.setBrush(kRed);
    p.drawRect(QRectF(3.5, 11.5, 9, 2));
    p.setPen(pen(kRed, 1));
    p.drawLine(QPointF(2, 15.5), QPointF(14, 15.5));
}

void drawReplace(QPainter& p) {
    p.setPen(pen(kInk, 1));
    p.setBrush(kRed);
    p.drawRect(QRectF(1.5, 1.5, 6, 6));
    p.setBrush(kAccent);
    p.drawRect(QRectF(8.5, 8.5, 6, 6));
    QPainterPath arrow;
    arrow.moveTo(10, 3.5);
    arrow.quadTo(13, 3.5, 13, 6.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(kInk, 1.2));
    p.drawPath(arrow);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({QPointF(11, 6), QPointF(15, 6), QPointF(13, 8.5)}));
}

void drawRetouch(QPainter& p) {
    // A drop with a highlight: softening, sharpening, smearing.
    QPainterPath drop;
    drop.moveTo(7, 1.5);
    drop.cubicTo(10, 6, 12.5, 8.5, 12.5, 11);
    drop.cubicTo(12.5, 14, 10, 15.5, 7, 15.5);
    drop.cubicTo(4, 15.5, 1.5, 14, 1.5, 11);
    drop.cubicTo(1.5, 8.5, 4, 6, 7, 1.5);
    QLinearGradient fill(QPointF(2, 4), QPointF(12, 15));
    fill.setColorAt(0, kGlass);
    fill.setColorAt(1, kAccent);
    p.setPen(pen(kInk, 1));
    p.setBrush(fill);
    p.drawPath(drop);
    p.setPen(pen(kPaper, 1.2));
    p.drawLine(QPointF(4.5, 10), QPointF(4.5, 12.5));
    star(p, QPointF(13, 3.5), 2.5, kYellow);
}

void drawFill(QPainter& p) {
    p.save();
    p.translate(7, 8.5);
    p.rotate(-30);
    p.setPen(pen(kInk, 1));
    p.setBrush(kMetal);
    p.drawRect(QRectF(-4, -3, 8, 8));
    p.setBrush(kAccent);
    p.drawRect(QRectF(-4, -4.5, 8, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-3, -7.5, 6, 6), 0, 180 * 16);
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    QPainterPath pour;
    pour.moveTo(2, 4.5);
    pour.quadTo(0.5, 9, 2, 12);
    pour.quadTo(3.5, 13.5, 3, 9);
    pour.closeSubpath();
    p.drawPath(pour);
    p.drawEllipse(QPointF(2.5, 14), 1.2, 1.5);
}

void drawTxt(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(2, 2, 12, 2));  // bar
    p.drawRect(QRectF(2, 2, 1.5, 4)); // serifs
    p.drawRect(QRectF(12.5, 2, 1.5, 4));
    p.drawRect(QRectF(7, 2, 2, 12));   // stem
    p.drawRect(QRectF(5, 13, 6, 1.5)); // foot
}

void drawLine(QPainter& p) {
    p.setPen(pen(kInk, 1.5));
    p.drawLine(QPointF(3, 13), QPointF(13, 3));
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRect(QRectF(1, 12, 3, 3));
    p.drawRect(QRectF(12, 1, 3, 3));
}

void drawShape(QPainter& p) {
    p.setPen(pen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1.5, 1.5, 9, 7));
    p.setBrush(kAccent);
    p.drawEllipse(QRectF(5.5, 6.5, 9, 8));
}

Draw standardDraw(Standard kind) {
    switch (kind) {
    case Standard::New:
        return shared<toolbarpictures::drawNew>;
    case Standard::Open:
        return shared<toolbarpictures::drawOpen>;
    case Standard::Save:
        return shared<toolbarpictures::drawSave>;
    case Standard::Cut:
        return drawCut;
    case Standard::Copy:
        return drawCopy;
    case Standard::Paste:
        return drawPaste;
    case Standard::Undo:
        return shared<toolbarpictures::drawUndo>;
    case Standard::Back:
        return drawBack;
    }
    return shared<toolbarpictures::drawNew>;
}

Draw toolDraw(Tool tool) {
    constexpr Draw draws[kToolCount] = {
        drawZoom,  drawHand,    drawSelect,  drawFreeSel, drawMagic, drawDrop, drawBrush,
        drawClone, drawReplace, drawRetouch, drawFill,    drawTxt,   drawLine, drawShape,
    };
    const int index = int(tool);
    return index >= 0 && index < kToolCount ? draws[index] : drawZoom;
}

QPixmap render(Draw draw, int logicalSize, qreal dpr) {
    Canvas canvas(logicalSize, dpr, kGrid);
    draw(canvas.painter());
    return canvas.finish();
}

QIcon iconOf(Draw draw) {
    QIcon icon;
    for (int size : {16, 32}) {
        for (qreal dpr : {1.0, 2.0}) {
            icon.addPixmap(render(draw, size, dpr));
        }
    }
    return icon;
}

} // namespace

QIcon standardIcon(Standard kind) {
    return iconOf(standardDraw(kind));
}

QIcon toolIcon(Tool tool) {
    return iconOf(toolDraw(tool));
}

void paintTool(QPainter& painter, Tool tool) {
    painter.save();
    toolDraw(tool)(painter);
    painter.restore();
}

QPixmap standardPixmap(Standard kind, int logicalSize, qreal dpr) {
    return render(standardDraw(kind), logicalSize, dpr);
}

QPixmap toolPixmap(Tool tool, int logicalSize, qreal dpr) {
    return render(toolDraw(tool), logicalSize, dpr);
}

} // namespace editoricons
