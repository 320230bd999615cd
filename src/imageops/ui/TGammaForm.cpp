#include "TGammaForm.h"

#include "FormStorage.h"

#include "foundation/ui/DecimalSpinBox.h"

#include <QFormLayout>
#include <QVBoxLayout>

TGammaForm::TGammaForm(QWidget* parent)
    : TAdjustPreviewForm(QStringLiteral("GammaForm"), QStringLiteral("Gamma Korrektur"), parent) {
    GammaEdit = new DecimalSpinBox(this);
    GammaEdit->setObjectName(QStringLiteral("GammaEdit"));
    GammaEdit->setDecimals(1);
    GammaEdit->setRange(0.1, 8.9);
    GammaEdit->setSingleStep(0.1);
    GammaEdit->setValue(imageops::GammaParams{}.gam);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Gamma Korrektur:"), GammaEdit);
    controlsLayout()->addLayout(form);
    controlsLayout()->addStretch();
    new FormStorage(this, {GammaEdit});
}

imageops::GammaParams TGammaForm::params() const {
    return {GammaEdit->value()};
}

void TGammaForm::setParams(const imageops::GammaParams& p) {
    GammaEdit->setValue(p.gam);
}

void TGammaForm::applyPreview(dib& image) {
    (void)imageops::Gamma(image, params(), selection_, progress_);
}

void TGammaForm::resetControls() {
    setParams({});
}
