#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;
class QSpinBox;

// "Neues Bild": size and colour depth of a new picture. Made anew for every use, so its fields
// always start at 320 x 200 and the depth list at its first entry until the command sets it.
class TNewForm : public QDialog {
    Q_OBJECT

public:
    struct Params {
        int width = 320;
        int height = 200;
        int depthEntry = 3; // index into TiefeBox
    };

    explicit TNewForm(QWidget* parent = nullptr);

    Params params() const;
    void setParams(const Params& p);

    QSpinBox* BreitEdit;
    QSpinBox* HochEdit;
    QComboBox* TiefeBox;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;
};
