#pragma once

#include <QDialog>

class QSpinBox;
class QPushButton;

// "Export Auflösung": the resolution of a picture export. One instance lives for the whole
// run and keeps its last value. Closing it other than with OK counts as cancel.
class TAufloesungForm : public QDialog {
    Q_OBJECT

public:
    explicit TAufloesungForm(QWidget* parent = nullptr);

    QSpinBox* DPIEd;
    QPushButton* BitBtn1; // OK
};
