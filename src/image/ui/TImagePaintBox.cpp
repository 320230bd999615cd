#include "TImagePaintBox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

TImagePaintBox::TImagePaintBox(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PaintBox1"));
    // Every exposed pixel is painted, so nothing needs clearing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void TImagePaintBox::paintEvent(QPaintEvent* event) {
    if (!paint) {
        return;
    }
    QPainter painter(this);
    // Each rectangle of the region on its own: a thin rubber-band edge must not cost a
    // repaint of everything between its ends.
    for (const QRect& rect : event->region()) {
        painter.save();
        painter.setClipRect(rect);
        paint(painter, rect);
        painter.restore();
    }
}

void TImagePaintBox::mousePressEvent(QMouseEvent* event) {
    if (mouseDown) {
        mouseDown(event);
    }
}

void TImagePaintBox::mouseMoveEvent(QMouseEvent* event) {
    if (mouseMove) {
        mouseMove(event);
    }
}

void TImagePaintBox::mouseReleaseEvent(QMouseEvent* event) {
    if (mouseUp) {
        mouseUp(event);
    }
}
