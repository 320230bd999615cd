#include "TAdjustPreviewForm.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

TAdjustPreviewForm::TAdjustPreviewForm(const QString& objectName, const QString& caption,
                                       QWidget* parent)
    : TPreviewForm(objectName, caption, parent) {}

QSlider* TAdjustPreviewForm::addTrackBar(const char* objectName, const QString& label, int minimum,
                                         int maximum, int value) {
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName(QString::fromLatin1(objectName));
    slider->setRange(minimum, maximum);
    slider->setValue(value);
    slider->setTickPosition(QSlider::NoTicks);
    slider->setMinimumWidth(220);
    auto* caption = new QLabel(label, this);
    caption->setBuddy(slider);
    auto* shown = new QLabel(QString::number(value), this);
    shown->setMinimumWidth(shown->fontMetrics().horizontalAdvance(QStringLiteral("-000")));
    shown->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(slider, &QSlider::valueChanged, shown,
            [shown](int v) { shown->setText(QString::number(v)); });

    auto* row = new QGridLayout;
    row->addWidget(caption, 0, 0, 1, 2);
    row->addWidget(slider, 1, 0);
    row->addWidget(shown, 1, 1);
    controlsLayout()->addLayout(row);
    return slider;
}
