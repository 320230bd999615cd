#include "TSolarfaktor.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TSolarfaktor::TSolarfaktor(QWidget* parent)
    : ParamFormBase(QStringLiteral("Solarfaktor"), QStringLiteral("Solarisieren..."), parent) {
    SolarEdit =
        formcontrols::spinEdit(this, "SolarEdit", 1, 255, imageops::SolarParams{}.grenzwert);
    auto* label = new QLabel(QStringLiteral("Grenzwert:"), this);
    label->setBuddy(SolarEdit);
    controlsLayout()->addWidget(label);
    controlsLayout()->addWidget(SolarEdit);
    controlsLayout()->addStretch();
    OkBitBtn1->setText(QStringLiteral("&Ok"));
}

imageops::SolarParams TSolarfaktor::params() const {
    return {SolarEdit->value()};
}

void TSolarfaktor::setParams(const imageops::SolarParams& p) {
    SolarEdit->setValue(p.grenzwert);
}
