#pragma once

#include "imageops/Depth.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

// "Farbtiefe verkleinern..." to a chosen number of colours (2 to 256) in an optimised palette.
// Its three choices are remembered between runs; the number starts at 64 each time it is
// shown. Created for one command; callers use prepare() or setParams() and params().
class TFreeDepthForm : public QDialog {
    Q_OBJECT

public:
    explicit TFreeDepthForm(QWidget* parent = nullptr);

    // Sets the limits for a picture of `sourceBits`: from 8 bits at most 16 colours, and no
    // system colours.
    void prepare(int sourceBits);

    imageops::DepthDownParams params() const;
    void setParams(const imageops::DepthDownParams& params);

    // The system colours take 20 entries, so with them at least 22 colours are asked for.
    void WinColCheckClick();

    QRadioButton* NearCheck; // group "Methode"
    QRadioButton* FSErrCheck;
    QCheckBox* WinColCheck; // group "Optionen"
    QSpinBox* NumColEd;     // group "Palette"
    QPushButton* OkBtn;
    QPushButton* AbbrechenBtn;

protected:
    void showEvent(QShowEvent* event) override;
};
