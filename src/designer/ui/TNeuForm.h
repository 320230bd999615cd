#pragma once

#include <QDialog>

class QComboBox;
class QSpinBox;

// "Neues Projekt": size of a new chart and the stitch it is filled with. One instance lives
// for the whole run, so the values last entered stay.
class TNeuForm : public QDialog {
    Q_OBJECT

public:
    explicit TNeuForm(QWidget* parent = nullptr);

    QSpinBox* SpaltenEd;
    QSpinBox* ZeilenEd;
    QComboBox* ComboBox1; // "Ausfüllen mit:"
};
