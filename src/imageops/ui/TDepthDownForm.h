#pragma once

#include "imageops/Depth.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class QRadioButton;

// "Farbtiefe verkleinern..." to 2, 16 or 256 colours: palette, method and whether the system
// colours stay. Created for one command; callers use prepare() or setParams() and params().
class TDepthDownForm : public QDialog {
    Q_OBJECT

public:
    explicit TDepthDownForm(QWidget* parent = nullptr);

    // Enables the choices that make sense for `nbpp` (1, 4 or 8) bits.
    void prepare(int nbpp);

    imageops::DepthDownParams params() const;
    // Prepares for params.nbpp and shows the choices of `params` (where they are allowed).
    void setParams(const imageops::DepthDownParams& params);

    // Re-evaluates which choices are allowed after a palette button was clicked: the ordered
    // dither needs the standard palette, the system colours an optimised one, both 256 colours.
    void PalCheckClick();

    QRadioButton* OptPalCheck; // group "Palette"
    QRadioButton* StdPalCheck;
    QRadioButton* NearCheck; // group "Methode"
    QRadioButton* DitherCheck;
    QRadioButton* FSErrCheck;
    QCheckBox* WinColCheck; // group "Optionen"
    QPushButton* OkBtn;
    QPushButton* AbbrechenBtn;

    bool To256 = false;

private:
    int nbpp_ = 8;
};
