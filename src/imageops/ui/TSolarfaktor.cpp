#include "TSolarfaktor.h"

#include "ValueDialog.h"

#include <QSpinBox>

TSolarfaktor::TSolarfaktor(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Solarfaktor"));
    setWindowTitle(QStringLiteral("Solarisieren..."));
    SolarEdit = buildValueDialog(*this, "SolarEdit", QStringLiteral("Grenzwert:"), 1, 255,
                                 imageops::SolarParams{}.grenzwert, QStringLiteral("&Ok"), OkBtn,
                                 CancelBtn);
}

imageops::SolarParams TSolarfaktor::params() const {
    return {SolarEdit->value()};
}

void TSolarfaktor::setParams(const imageops::SolarParams& p) {
    SolarEdit->setValue(p.grenzwert);
}
