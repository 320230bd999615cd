#include "ToolBarIcons.h"

#include "foundation/ui/ToolBarPictures.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace toolbaricons {

namespace {

using toolbarpictures::drawNew;
using toolbarpictures::drawOpen;
using toolbarpictures::drawSave;
using toolbarpictures::drawUndo;
using toolbarpictures::kAccent;
using toolbarpictures::kInk;
using toolbarpictures::kPaper;

// Draws on a 24 x 24 design grid.
using Painter = void (*)(QPainter&);

void drawSaveAs(QPainter& p) {
    drawSave(p);
    // A pencil over the corner: saving under a new name.
    p.save();
    p.translate(17, 17);
    p.rotate(-45);
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(244, 208, 63));
    p.drawRect(QRectF(-1.8, -7, 3.6, 10));
    p.setBrush(kPaper);
    QPainterPath tip;
    tip.moveTo(-1.8, 3);
    tip.lineTo(1.8, 3);
    tip.lineTo(0, 6);
    tip.closeSubpath();
    p.drawPath(tip);
    p.restore();
}

void drawPrint(QPainter& p) {
    p.setPen(QPen(kInk, 1.3));
    p.setBrush(kPaper);
    p.drawRect(QRectF(6.5, 2.5, 11, 7));
    p.setBrush(QColor(127, 140, 141));
    p.drawRoundedRect(QRectF(2.5, 8.5, 19, 9), 1.5, 1.5);
    p.setBrush(kPaper);
    p.drawRect(QRectF(6.5, 13.5, 11, 8));
    p.setPen(QPen(kAccent, 1));
    p.drawLine(QPointF(8.5, 16.5), QPointF(15.5, 16.5));
    p.drawLine(QPointF(8.5, 19), QPointF(13.5, 19));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(46, 204, 113));
    p.drawEllipse(QPointF(18.5, 11), 0.9, 0.9);
}

void drawRedo(QPainter& p) {
    p.translate(24, 0);
    p.scale(-1, 1);
    drawUndo(p);
}

QImage drawAt(int size, Painter draw) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    draw(p);
    return image;
}

QIcon render(Painter draw) {
    QIcon result;
    for (int size : {16, 24, 32, 48, 64}) {
        result.addPixmap(QPixmap::fromImage(drawAt(size, draw)));
    }
    return result;
}

void drawProgram(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 3, 3);
    p.setBrush(QColor(212, 226, 239));
    p.drawRect(QRectF(4, 4, 16, 3.2));
    p.setPen(QPen(QColor(154, 185, 215), 0.8));
    for (int i = 0; i <= 5; ++i) {
        p.drawLine(QPointF(4 + 3.2 * i, 4), QPointF(4 + 3.2 * i, 20));
        p.drawLine(QPointF(4, 4 + 3.2 * i), QPointF(20, 4 + 3.2 * i));
    }
    p.setPen(QPen(kInk, 1.1));
    // Stitch symbols: knit bars and a purl dot.
    p.drawLine(QPointF(7.2, 8.2), QPointF(7.2, 10.2));
    p.drawLine(QPointF(13.6, 11.4), QPointF(13.6, 13.4));
    p.drawLine(QPointF(10.4, 14.6), QPointF(10.4, 16.6));
    p.setBrush(kAccent);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(16.8, 9.2), 1, 1);
    p.drawEllipse(QPointF(7.2, 15.6), 1, 1);
}

} // namespace

QIcon icon(Kind kind) {
    switch (kind) {
    case Kind::New:
        return render(drawNew);
    case Kind::Open:
        return render(drawOpen);
    case Kind::Save:
        return render(drawSave);
    case Kind::SaveAs:
        return render(drawSaveAs);
    case Kind::Print:
        return render(drawPrint);
    case Kind::Undo:
        return render(drawUndo);
    case Kind::Redo:
        return render(drawRedo);
    }
    return {};
}

QIcon programIcon() {
    return render(drawProgram);
}

QImage programImage(int size) {
    return drawAt(size, drawProgram);
}

} // namespace toolbaricons
