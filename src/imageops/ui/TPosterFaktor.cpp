#include "TPosterFaktor.h"

#include "ValueDialog.h"

#include <QSpinBox>

TPosterFaktor::TPosterFaktor(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PosterFaktor"));
    setWindowTitle(QStringLiteral("Tiefe beschränken..."));
    PosterEdit = buildValueDialog(
        *this, "PosterEdit", QStringLiteral("Farbe auf X Bits pro Kanal beschränken:"), 1, 7,
        imageops::PosterParams{}.bits, QStringLiteral("&OK"), OkBtn, CancelBtn);
}

imageops::PosterParams TPosterFaktor::params() const {
    return {PosterEdit->value()};
}

void TPosterFaktor::setParams(const imageops::PosterParams& p) {
    PosterEdit->setValue(p.bits);
}
