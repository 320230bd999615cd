#include "TButtonForm.h"

#include "FormStorage.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

TButtonForm::TButtonForm(QWidget* parent)
    : ParamFormBase(QStringLiteral("ButtonForm"), QStringLiteral("Druckknopf erstellen"), parent) {
    auto* properties = new QGroupBox(QStringLiteral("Eigenschaften"), this);
    ColorBox = formcontrols::effectColourBox(properties);
    TransED = formcontrols::spinEdit(properties, "TransED", 0, 100, 10);
    BreitEd = formcontrols::spinEdit(properties, "BreitEd", 0, 100, 10);
    SolidCheck = new QRadioButton(QStringLiteral("Feste Umrandung"), properties);
    SolidCheck->setObjectName(QStringLiteral("SolidCheck"));
    SolidCheck->setChecked(true);
    TransCheck = new QRadioButton(QStringLiteral("Transparente Umrandung"), properties);
    TransCheck->setObjectName(QStringLiteral("TransCheck"));
    auto* form = new QFormLayout(properties);
    form->addRow(QStringLiteral("Farbe:"), ColorBox);
    form->addRow(QStringLiteral("Transparenz:"), TransED);
    form->addRow(QStringLiteral("Rahmenbreite:"), BreitEd);
    form->addRow(SolidCheck);
    form->addRow(TransCheck);
    controlsLayout()->addWidget(properties);

    new FormStorage(this, {SolidCheck, TransCheck});
}

imageops::ButtonParams TButtonForm::params() const {
    return {BreitEd->value(), TransED->value(), SolidCheck->isChecked(), 0};
}

void TButtonForm::setParams(const imageops::ButtonParams& p) {
    BreitEd->setValue(p.px);
    TransED->setValue(p.trans);
    (p.solid ? SolidCheck : TransCheck)->setChecked(true);
}

int TButtonForm::colorEntry() const {
    return ColorBox->currentIndex();
}

void TButtonForm::FormActivate() {
    ColorBox->setCurrentIndex(int(imageops::EffectColour::Hintergrundfarbe));
}

void TButtonForm::showEvent(QShowEvent* event) {
    ParamFormBase::showEvent(event);
    FormActivate();
}
