#pragma once

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QPushButton;
class QSpinBox;
class QVBoxLayout;

// Base of the dialogs that only hold values for an operation: their controls above "&OK" and
// "A&bbrechen", which close the dialog with its result. The command reads the values through
// the dialog's params() after OK.
class ParamFormBase : public QDialog {
    Q_OBJECT

public:
    QPushButton* OkBitBtn1;
    QPushButton* AbbrechenBitBtn2;

protected:
    ParamFormBase(const QString& objectName, const QString& caption, QWidget* parent);

    // Where a dialog puts its controls, left of the buttons.
    QVBoxLayout* controlsLayout() const { return controls_; }

private:
    QVBoxLayout* controls_;
};

// Controls as the image operations' dialogs use them. Number fields keep their value within
// their range: a value set from code is limited to it, and a number typed outside it is
// corrected to the nearest end when the field is left.
namespace formcontrols {

QSpinBox* spinEdit(QWidget* parent, const char* name, int minimum, int maximum, int value);
QDoubleSpinBox* floatSpinEdit(QWidget* parent, const char* name, double minimum, double maximum,
                              double step, double value);

// The colour list of the shadow and button dialogs, in the order of imageops::EffectColour.
QComboBox* effectColourBox(QWidget* parent);

} // namespace formcontrols
