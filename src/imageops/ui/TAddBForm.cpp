#include "TAddBForm.h"

#include "FormStorage.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QSpinBox>
#include <QVBoxLayout>

TAddBForm::TAddBForm(QWidget* parent)
    : ParamFormBase(QStringLiteral("AddBForm"), QStringLiteral("Rand hinzufügen"), parent) {
    auto* group = new QGroupBox(QStringLiteral("Randgröße"), this);
    TopEdit = formcontrols::spinEdit(group, "TopEdit", 0, 16000, 0);
    BottomEdit = formcontrols::spinEdit(group, "BottomEdit", 0, 16000, 0);
    LeftEdit = formcontrols::spinEdit(group, "LeftEdit", 0, 16000, 0);
    RightEdit = formcontrols::spinEdit(group, "RightEdit", 0, 16000, 0);
    SymCheck = new QCheckBox(QStringLiteral("Sym&metrisch"), group);
    SymCheck->setObjectName(QStringLiteral("SymCheck"));
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("Oben:"), TopEdit);
    form->addRow(QStringLiteral("Unten:"), BottomEdit);
    form->addRow(QStringLiteral("Links:"), LeftEdit);
    form->addRow(QStringLiteral("Rechts:"), RightEdit);
    form->addRow(SymCheck);
    controlsLayout()->addWidget(group);

    connect(TopEdit, &QSpinBox::valueChanged, this, &TAddBForm::TopEdit0Change);
    connect(BottomEdit, &QSpinBox::valueChanged, this, &TAddBForm::BottomEditChange);
    connect(LeftEdit, &QSpinBox::valueChanged, this, &TAddBForm::LeftEditChange);
    connect(RightEdit, &QSpinBox::valueChanged, this, &TAddBForm::RightEditChange);
    new FormStorage(this, {SymCheck});
}

imageops::BorderParams TAddBForm::params() const {
    return {TopEdit->value(), BottomEdit->value(), LeftEdit->value(), RightEdit->value()};
}

void TAddBForm::setParams(const imageops::BorderParams& p) {
    copying_ = true; // the values are set as given, not made symmetric
    TopEdit->setValue(p.top_);
    BottomEdit->setValue(p.bot_);
    LeftEdit->setValue(p.lef_);
    RightEdit->setValue(p.rig_);
    copying_ = false;
}

void TAddBForm::copyToOthers(QSpinBox* from) {
    if (copying_ || !SymCheck->isChecked()) {
        return;
    }
    copying_ = true;
    for (QSpinBox* field : {TopEdit, BottomEdit, LeftEdit, RightEdit}) {
        if (field != from) {
            field->setValue(from->value());
        }
    }
    copying_ = false;
}

void TAddBForm::TopEdit0Change() {
    copyToOthers(TopEdit);
}

void TAddBForm::BottomEditChange() {
    copyToOthers(BottomEdit);
}

void TAddBForm::LeftEditChange() {
    copyToOthers(LeftEdit);
}

void TAddBForm::RightEditChange() {
    copyToOthers(RightEdit);
}
