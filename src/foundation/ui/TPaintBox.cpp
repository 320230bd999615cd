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

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    if (mouseMove) {
        mouseMove(event);
    } else {
        QWidget::mouseMoveEvent(event);
    }
}

void TPaintBox::mouseReleaseEvent(QMouseEvent* event) {
    if (mouseUp) {
        mouseUp(event);
    } else {
        QWidget::mouseReleaseEvent(event);
    }
}

void TPaintBox::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (mouseLeave) {
        mouseLeave();
    }
}
