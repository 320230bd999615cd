#pragma once

#include "imageops/Adjustments.h"

#include "ParamFormBase.h"

class QSpinBox;

// "Solarisieren...": the threshold from which colours are inverted. The command passes
// params().grenzwert to DibSolar after OK. Starts at 128 every time.
class TSolarfaktor : public ParamFormBase {
    Q_OBJECT

public:
    explicit TSolarfaktor(QWidget* parent = nullptr);

    imageops::SolarParams params() const;
    void setParams(const imageops::SolarParams& p);

    QSpinBox* SolarEdit; // "Grenzwert:" 1...255
};
