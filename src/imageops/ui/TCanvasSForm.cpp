#include "TCanvasSForm.h"

#include "FormStorage.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The offset that centres `now` pixels over the old size written in `oldLabel`.
int centred(int now, const QLabel* oldLabel) {
    const int old = oldLabel->text().toInt();          // 0 when the label holds no number
    return int(std::lrint((double(now) - old) / 2.0)); // ties to even
}

} // namespace

TCanvasSForm::TCanvasSForm(QWidget* parent)
    : ParamFormBase(QStringLiteral("CanvasSForm"), QStringLiteral("Leinwandgröße ändern"), parent) {
    auto* size = new QGroupBox(QStringLiteral("Größe"), this);
    OldBreitLabel = new QLabel(size);
    OldBreitLabel->setObjectName(QStringLiteral("OldBreitLabel"));
    OldHochLabel = new QLabel(size);
    OldHochLabel->setObjectName(QStringLiteral("OldHochLabel"));
    BreitEdit = formcontrols::spinEdit(size, "BreitEdit", 320, 32767, 320);
    HochEdit = formcontrols::spinEdit(size, "HochEdit", 200, 32767, 200);
    auto* sizeForm = new QFormLayout(size);
    sizeForm->addRow(QStringLiteral("Alte Breite:"), OldBreitLabel);
    sizeForm->addRow(QStringLiteral("Alte Höhe:"), OldHochLabel);
    sizeForm->addRow(QStringLiteral("Neue Breite:"), BreitEdit);
    sizeForm->addRow(QStringLiteral("Neue Höhe:"), HochEdit);

    auto* place = new QGroupBox(QStringLiteral("Bild Platzierung"), this);
    LeftEdit = formcontrols::spinEdit(place, "LeftEdit", -16000, 16000, 0);
    TopEdit = formcontrols::spinEdit(place, "TopEdit", -16000, 16000, 0);
    ZentHCheck = new QCheckBox(QStringLiteral("Horizontal zentrieren"), place);
    ZentHCheck->setObjectName(QStringLiteral("ZentHCheck"));
    ZentHCheck->setChecked(true);
    ZentVCheck = new QCheckBox(QStringLiteral("Vertikal zentrieren"), place);
    ZentVCheck->setObjectName(QStringLiteral("ZentVCheck"));
    ZentVCheck->setChecked(true);
    auto* placeForm = new QFormLayout(place);
    placeForm->addRow(QStringLiteral("Links:"), LeftEdit);
    placeForm->addRow(QStringLiteral("Oben:"), TopEdit);
    placeForm->addRow(ZentHCheck);
    placeForm->addRow(ZentVCheck);

    controlsLayout()->addWidget(size);
    controlsLayout()->addWidget(place);

    connect(BreitEdit, &QSpinBox::valueChanged, this, &TCanvasSForm::BreitEditChange);
    connect(HochEdit, &QSpinBox::valueChanged, this, &TCanvasSForm::HochEditChange);
    new FormStorage(this, {ZentHCheck, ZentVCheck});
}

void TCanvasSForm::setOldSize(std::int32_t width, std::int32_t height) {
    OldBreitLabel->setText(QString::number(width));
    OldHochLabel->setText(QString::number(height));
    BreitEdit->setValue(width);
    HochEdit->setValue(height);
}

imageops::CanvasParams TCanvasSForm::params() const {
    return {BreitEdit->value(), HochEdit->value(), LeftEdit->value(), TopEdit->value()};
}

void TCanvasSForm::setParams(const imageops::CanvasParams& p) {
    BreitEdit->setValue(p.Breit);
    HochEdit->setValue(p.Hoch);
    LeftEdit->setValue(p.Links);
    TopEdit->setValue(p.Oben);
}

void TCanvasSForm::BreitEditChange() {
    if (ZentHCheck->isChecked()) {
        LeftEdit->setValue(centred(BreitEdit->value(), OldBreitLabel));
    }
}

void TCanvasSForm::HochEditChange() {
    if (ZentVCheck->isChecked()) {
        TopEdit->setValue(centred(HochEdit->value(), OldHochLabel));
    }
}

void TCanvasSForm::FormActivate() {
    BreitEditChange();
    HochEditChange();
}

void TCanvasSForm::showEvent(QShowEvent* event) {
    ParamFormBase::showEvent(event);
    FormActivate();
}
