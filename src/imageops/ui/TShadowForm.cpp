#include "TShadowForm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QSpinBox>
#include <QVBoxLayout>

TShadowForm::TShadowForm(QWidget* parent)
    : ParamFormBase(QStringLiteral("ShadowForm"), QStringLiteral("Schatten hinzufügen"), parent) {
    auto* properties = new QGroupBox(QStringLiteral("Eigenschaften"), this);
    ColorBox = formcontrols::effectColourBox(properties);
    TransEd = formcontrols::spinEdit(properties, "TransEd", 0, 100, 10);
    BlurEd = formcontrols::spinEdit(properties, "BlurEd", 0, 100, 10);
    auto* propertiesForm = new QFormLayout(properties);
    propertiesForm->addRow(QStringLiteral("Farbe:"), ColorBox);
    propertiesForm->addRow(QStringLiteral("Transparenz:"), TransEd);
    propertiesForm->addRow(QStringLiteral("Weichheit:"), BlurEd);

    auto* position = new QGroupBox(QStringLiteral("Position"), this);
    HorzEd = formcontrols::spinEdit(position, "HorzEd", -100, 100, 5);
    VertEd = formcontrols::spinEdit(position, "VertEd", -100, 100, 5);
    auto* positionForm = new QFormLayout(position);
    positionForm->addRow(QStringLiteral("Horizontal:"), HorzEd);
    positionForm->addRow(QStringLiteral("Vertikal:"), VertEd);

    controlsLayout()->addWidget(properties);
    controlsLayout()->addWidget(position);
}

void TShadowForm::setBlendingAllowed(bool allowed) {
    TransEd->setEnabled(allowed);
    BlurEd->setEnabled(allowed);
}

imageops::ShadowParams TShadowForm::params() const {
    return {HorzEd->value(), VertEd->value(), TransEd->value(), BlurEd->value(), 0};
}

void TShadowForm::setParams(const imageops::ShadowParams& p) {
    HorzEd->setValue(p.px);
    VertEd->setValue(p.py);
    TransEd->setValue(p.trans);
    BlurEd->setValue(p.blur);
}

int TShadowForm::colorEntry() const {
    return ColorBox->currentIndex();
}

void TShadowForm::FormActivate() {
    ColorBox->setCurrentIndex(int(imageops::EffectColour::Hintergrundfarbe));
}

void TShadowForm::showEvent(QShowEvent* event) {
    ParamFormBase::showEvent(event);
    FormActivate();
}
