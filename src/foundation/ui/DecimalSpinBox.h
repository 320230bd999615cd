#pragma once

#include <QDoubleSpinBox>

// A decimal spin edit for German input. Both "," and "." count as the decimal separator, so a
// value typed the English way means the same; the value shows with ",". There are no
// thousands separators: a plain QDoubleSpinBox in a German locale reads "7.5" as 75.
class DecimalSpinBox : public QDoubleSpinBox {
    Q_OBJECT

public:
    explicit DecimalSpinBox(QWidget* parent = nullptr);

    QValidator::State validate(QString& text, int& pos) const override;
    double valueFromText(const QString& text) const override;
    void fixup(QString& text) const override;
};
