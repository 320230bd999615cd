#include "TResizeForm.h"

#include "FormStorage.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

TResizeForm::TResizeForm(QWidget* parent)
    : ParamFormBase(QStringLiteral("ResizeForm"), QStringLiteral("Größe verändern"), parent) {
    BreitEdit = formcontrols::spinEdit(this, "BreitEdit", 1, 32767, 1);
    HochEdit = formcontrols::spinEdit(this, "HochEdit", 1, 32767, 1);
    SverhCheck = new QCheckBox(QStringLiteral("Seitenverhältnis beibehalten"), this);
    SverhCheck->setObjectName(QStringLiteral("SverhCheck"));
    SverhCheck->setChecked(true);
    InterpolCheck = new QCheckBox(QStringLiteral("Farbwerte interpolieren"), this);
    InterpolCheck->setObjectName(QStringLiteral("InterpolCheck"));
    InterpolCheck->setChecked(true);

    auto* sizes = new QFormLayout;
    sizes->addRow(QStringLiteral("Neue Breite:"), BreitEdit);
    sizes->addRow(QStringLiteral("Neue Höhe:"), HochEdit);
    controlsLayout()->addLayout(sizes);
    controlsLayout()->addWidget(SverhCheck);
    controlsLayout()->addWidget(InterpolCheck);
    controlsLayout()->addStretch();

    connect(BreitEdit, &QSpinBox::valueChanged, this, &TResizeForm::BreitEditChange);
    connect(HochEdit, &QSpinBox::valueChanged, this, &TResizeForm::HochEditChange);
    connect(SverhCheck, &QCheckBox::clicked, this, &TResizeForm::SverhCheckClick);
    new FormStorage(this, {SverhCheck, InterpolCheck});
}

void TResizeForm::setOldSize(std::int32_t width, std::int32_t height) {
    oldxx = width;
    oldyy = height;
    init = true;
    BreitEdit->setValue(width);
    init = true;
    HochEdit->setValue(height);
    init = false;
}

void TResizeForm::setInterpolAllowed(bool allowed) {
    InterpolCheck->setEnabled(allowed);
}

imageops::ResizeParams TResizeForm::params() const {
    return {BreitEdit->value(), HochEdit->value(), InterpolCheck->isChecked()};
}

void TResizeForm::setParams(const imageops::ResizeParams& p) {
    init = true;
    BreitEdit->setValue(p.breit);
    init = true;
    HochEdit->setValue(p.hoch);
    init = false;
    InterpolCheck->setChecked(p.interpol);
}

void TResizeForm::writeLinked(QSpinBox* field, double value) {
    init = true;
    field->setValue(int(std::clamp(std::trunc(value), -2147483648.0, 2147483647.0)));
    // The field's change handler cleared the flag; when the value was already there no
    // change came, and the user's next edit must be followed all the same.
    init = false;
}

void TResizeForm::BreitEditChange() {
    if (init) {
        init = false;
        return;
    }
    if (SverhCheck->isChecked() && oldxx > 0) {
        writeLinked(HochEdit, double(BreitEdit->value()) * oldyy / oldxx);
    }
}

void TResizeForm::HochEditChange() {
    if (init) {
        init = false;
        return;
    }
    if (SverhCheck->isChecked() && oldyy > 0) {
        writeLinked(BreitEdit, double(HochEdit->value()) * oldxx / oldyy);
    }
}

void TResizeForm::SverhCheckClick() {
    if (SverhCheck->isChecked() && oldxx > 0) {
        writeLinked(HochEdit, double(BreitEdit->value()) * oldyy / oldxx);
    }
}

void TResizeForm::FormActivate() {
    init = false;
}

void TResizeForm::showEvent(QShowEvent* event) {
    ParamFormBase::showEvent(event);
    FormActivate();
}
