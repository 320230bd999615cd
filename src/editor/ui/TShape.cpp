#include "TShape.h"

#include <QMouseEvent>
#include <QPainter>

TShape::TShape(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setMouseTracking(true); // moves without a button show the read-out
}

void TShape::setBrushColor(const QColor& color) {
    if (color != brush_) {
        brush_ = color;
        update();
    }
}

void TShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.fillRect(rect().adjusted(1, 1, -1, -1), brush_);
}

void TShape::mousePressEvent(QMouseEvent* event) {
    if (mouseDown) {
        mouseDown(event->button());
    } else {
        QWidget::mousePressEvent(event);
    }
}

void TShape::mouseMoveEvent(QMouseEvent* event) {
    if (mouseMove) {
        mouseMove();
    } else {
        QWidget::mouseMoveEvent(event);
    }
}
