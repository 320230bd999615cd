#pragma once

#include "imageops/Adjustments.h"

#include "ParamFormBase.h"

class QSpinBox;

// "Tiefe beschränken...": how many bits per channel to keep. The command passes
// params().faktor() to DibPoster after OK. Starts at 4 every time.
class TPosterFaktor : public ParamFormBase {
    Q_OBJECT

public:
    explicit TPosterFaktor(QWidget* parent = nullptr);

    imageops::PosterParams params() const;
    void setParams(const imageops::PosterParams& p);

    QSpinBox* PosterEdit; // "Farbe auf X Bits pro Kanal beschränken:" 1...7
};
