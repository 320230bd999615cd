#pragma once

#include "imageops/FilterType.h"

#include <QDialog>

#include <array>

class QLineEdit;
class QPushButton;
class QSpinBox;

// "Benutzerdefinierter Filter": name, the 25 weights, divisor and offset of one user filter.
// The weight fields stand in a 5 x 5 grid column by column: field k is in column k / 5 and row
// k % 5 and edits matrix entry k, so the grid shows the matrix as the filter applies it.
class TFilterEditForm : public QDialog {
    Q_OBJECT

public:
    explicit TFilterEditForm(QWidget* parent = nullptr);

    // The fields as a record: the name followed by zeros, the weights in field order.
    filtertype filter() const;
    // Fills the fields. A divisor outside 1...255 (from a file) widens the field's range, so
    // that merely opening and confirming a filter never changes it.
    void setFilter(const filtertype& f);

    // Closes with OK unless the name is empty or the divisor is 0, which it reports.
    void OkBtnClick();

    QLineEdit* NameEdit;                // at most as many characters as a filter file keeps
    std::array<QSpinBox*, 25> SpinEdit; // object names "SpinEdit0" to "SpinEdit24"
    QSpinBox* DivEdit;                  // "Divisor:" 1...255
    QSpinBox* BiasEdit;                 // "Verschiebung:"
    QPushButton* OkBtn;
    QPushButton* CancelBtn;
};
