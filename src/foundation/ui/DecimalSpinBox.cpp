#include "DecimalSpinBox.h"

namespace {

// The point becomes the comma in place, so the cursor stays where it was.
QString withDecimalComma(QString text) {
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace

DecimalSpinBox::DecimalSpinBox(QWidget* parent) : QDoubleSpinBox(parent) {
    QLocale german(QLocale::German, QLocale::Germany);
    german.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    setLocale(german);
    setGroupSeparatorShown(false);
}

QValidator::State DecimalSpinBox::validate(QString& text, int& pos) const {
    text = withDecimalComma(text);
    return QDoubleSpinBox::validate(text, pos);
}

double DecimalSpinBox::valueFromText(const QString& text) const {
    return QDoubleSpinBox::valueFromText(withDecimalComma(text));
}

void DecimalSpinBox::fixup(QString& text) const {
    text = withDecimalComma(text);
    QDoubleSpinBox::fixup(text);
}
