#include "TDelNoiseForm.h"

#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

TDelNoiseForm::TDelNoiseForm(QWidget* parent)
    : ParamFormBase(QStringLiteral("DelNoiseForm"), QStringLiteral("Störungen entfernen"), parent) {
    GrenzEd = formcontrols::spinEdit(this, "GrenzEd", 1, 255, 50);
    auto* label = new QLabel(QStringLiteral("Grenzwert (5x5 Pixel Radius):"), this);
    label->setBuddy(GrenzEd);
    auto* note = new QLabel(QStringLiteral("Hinweis: Je kleiner der Grenzwert, desto mehr "
                                           "Störungen werden entfernt und desto unschärfer "
                                           "wird das Bild."),
                            this);
    note->setWordWrap(true);
    controlsLayout()->addWidget(label);
    controlsLayout()->addWidget(GrenzEd);
    controlsLayout()->addWidget(note);
    controlsLayout()->addStretch();
}

imageops::DelNoiseParams TDelNoiseForm::params() const {
    return {GrenzEd->value()};
}

void TDelNoiseForm::setParams(const imageops::DelNoiseParams& p) {
    GrenzEd->setValue(p.Grenze);
}
