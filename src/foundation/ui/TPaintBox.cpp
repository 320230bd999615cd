#include "TPaintBox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

TPaintBox::TPaintBox(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    // The owner paints every exposed pixel, so nothing needs clearing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPaintBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (paint) {
        paint(painter, event->rect());
    }
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    if (mouseDown) {
        mouseDown(event);
    }
}
