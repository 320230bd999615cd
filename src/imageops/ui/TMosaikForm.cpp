#include "TMosaikForm.h"

#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

TMosaikForm::TMosaikForm(QWidget* parent)
    : ParamFormBase(QStringLiteral("MosaikForm"), QStringLiteral("Mosaik Effekt..."), parent) {
    BreitEd = formcontrols::spinEdit(this, "BreitEd", 1, 100, 4);
    HochEd = formcontrols::spinEdit(this, "HochEd", 1, 100, 4);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Blockbreite:"), BreitEd);
    form->addRow(QStringLiteral("Blockhöhe:"), HochEd);
    controlsLayout()->addLayout(form);
    controlsLayout()->addStretch();
}

imageops::MosaicParams TMosaikForm::params() const {
    return {BreitEd->value(), HochEd->value()};
}

void TMosaikForm::setParams(const imageops::MosaicParams& p) {
    BreitEd->setValue(p.breit);
    HochEd->setValue(p.hoch);
}
