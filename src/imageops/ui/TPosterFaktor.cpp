#include "TPosterFaktor.h"

#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

TPosterFaktor::TPosterFaktor(QWidget* parent)
    : ParamFormBase(QStringLiteral("PosterFaktor"), QStringLiteral("Tiefe beschränken..."),
                    parent) {
    PosterEdit = formcontrols::spinEdit(this, "PosterEdit", 1, 7, imageops::PosterParams{}.bits);
    auto* label = new QLabel(QStringLiteral("Farbe auf X Bits pro Kanal beschränken:"), this);
    label->setBuddy(PosterEdit);
    controlsLayout()->addWidget(label);
    controlsLayout()->addWidget(PosterEdit);
    controlsLayout()->addStretch();
}

imageops::PosterParams TPosterFaktor::params() const {
    return {PosterEdit->value()};
}

void TPosterFaktor::setParams(const imageops::PosterParams& p) {
    PosterEdit->setValue(p.bits);
}
