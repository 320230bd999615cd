#include "TShape.h"

#include <QPainter>

TShape::TShape(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
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
