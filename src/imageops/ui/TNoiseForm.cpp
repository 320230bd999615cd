#include "TNoiseForm.h"

#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

TNoiseForm::TNoiseForm(QWidget* parent)
    : ParamFormBase(QStringLiteral("NoiseForm"), QStringLiteral("Störungen hinzufügen"), parent) {
    StarkEd = formcontrols::spinEdit(this, "StarkEd", 1, 256, 96);
    WahrEd = formcontrols::spinEdit(this, "WahrEd", 1, 100, 50);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Stärke:"), StarkEd);
    form->addRow(QStringLiteral("Wahrscheinlichkeit in %:"), WahrEd);
    controlsLayout()->addLayout(form);
    controlsLayout()->addStretch();
}

imageops::NoiseParams TNoiseForm::params() const {
    return {StarkEd->value(), WahrEd->value()};
}

void TNoiseForm::setParams(const imageops::NoiseParams& p) {
    StarkEd->setValue(p.Stark);
    WahrEd->setValue(p.Wahrs);
}
