#include "TRotateForm.h"

#include "FormStorage.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QRadioButton* radio(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

TRotateForm::TRotateForm(QWidget* parent)
    : ParamFormBase(QStringLiteral("RotateForm"), QStringLiteral("Bild rotieren..."), parent) {
    auto* direction = new QGroupBox(QStringLiteral("Richtung"), this);
    RotLeftCheck = radio(direction, "RotLeftCheck", QStringLiteral("Links"));
    RotRightCheck = radio(direction, "RotRightCheck", QStringLiteral("Rechts"));
    RotLeftCheck->setChecked(true);
    auto* directionLayout = new QVBoxLayout(direction);
    directionLayout->addWidget(RotLeftCheck);
    directionLayout->addWidget(RotRightCheck);
    directionLayout->addStretch();

    auto* angle = new QGroupBox(QStringLiteral("Winkel in Grad"), this);
    Grad90Check = radio(angle, "Grad90Check", QStringLiteral("90"));
    Grad180Check = radio(angle, "Grad180Check", QStringLiteral("180"));
    Grad270Check = radio(angle, "Grad270Check", QStringLiteral("270"));
    FreiGradCheck = radio(angle, "FreiGradCheck", QStringLiteral("Frei:"));
    FreiGradCheck->setChecked(true);
    GradEdit = formcontrols::floatSpinEdit(angle, "GradEdit", 0.01, 359.99, 1.0, 45.0);
    auto* free = new QHBoxLayout;
    free->addWidget(FreiGradCheck);
    free->addWidget(GradEdit, 1);
    auto* angleLayout = new QVBoxLayout(angle);
    angleLayout->addWidget(Grad90Check);
    angleLayout->addWidget(Grad180Check);
    angleLayout->addWidget(Grad270Check);
    angleLayout->addLayout(free);

    InterpolCheck = new QCheckBox(QStringLiteral("Farbwerte interpolieren"), this);
    InterpolCheck->setObjectName(QStringLiteral("InterpolCheck"));
    InterpolCheck->setVisible(false);

    auto* groups = new QHBoxLayout;
    groups->addWidget(direction);
    groups->addWidget(angle);
    controlsLayout()->addLayout(groups);
    controlsLayout()->addWidget(InterpolCheck);

    new FormStorage(this, {RotLeftCheck, RotRightCheck, Grad90Check, Grad180Check, Grad270Check,
                           FreiGradCheck, GradEdit});
}

void TRotateForm::setInterpolAllowed(bool allowed) {
    InterpolCheck->setEnabled(allowed);
}

imageops::RotateParams TRotateForm::params() const {
    using W = imageops::RotateParams::Winkel;
    imageops::RotateParams p;
    p.winkel = Grad90Check->isChecked()    ? W::Grad90
               : Grad270Check->isChecked() ? W::Grad270
               : Grad180Check->isChecked() ? W::Grad180
                                           : W::Frei;
    p.rechts = RotRightCheck->isChecked();
    p.grad = GradEdit->value();
    p.interpol = InterpolCheck->isChecked();
    return p;
}

void TRotateForm::setParams(const imageops::RotateParams& p) {
    using W = imageops::RotateParams::Winkel;
    (p.rechts ? RotRightCheck : RotLeftCheck)->setChecked(true);
    switch (p.winkel) {
    case W::Grad90:
        Grad90Check->setChecked(true);
        break;
    case W::Grad180:
        Grad180Check->setChecked(true);
        break;
    case W::Grad270:
        Grad270Check->setChecked(true);
        break;
    case W::Frei:
        FreiGradCheck->setChecked(true);
        break;
    }
    GradEdit->setValue(p.grad);
    InterpolCheck->setChecked(p.interpol);
}
