#include "TGradientCaption.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>

namespace {

const QColor kStart{192, 0, 0};
const QColor kEnd{32, 32, 40};
const QColor kInactiveStart{150, 110, 110};
const QColor kInactiveEnd{120, 120, 124};

} // namespace

TGradientCaption::TGradientCaption(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("GradientCaption"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
}

void TGradientCaption::setText(const QString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    update();
}

QSize TGradientCaption::sizeHint() const {
    return {200, fontMetrics().height() + 6};
}

void TGradientCaption::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // A window in the background shows a dimmed band, as title bars do.
    const bool active = isActiveWindow();
    QLinearGradient gradient(0, 0, width(), 0);
    gradient.setColorAt(0, active ? kStart : kInactiveStart);
    gradient.setColorAt(1, active ? kEnd : kInactiveEnd);
    painter.fillRect(rect(), gradient);
    painter.setPen(Qt::white);
    const QRect textRect = rect().adjusted(6, 0, -6, 0);
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                     fontMetrics().elidedText(text_, Qt::ElideRight, textRect.width()));
}

void TGradientCaption::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        update();
    }
    QWidget::changeEvent(event);
}
