#pragma once

#include "ParamFormBase.h"

#include "imageops/Effects.h"

class QSpinBox;

// "Störungen hinzufügen": strength and probability of the noise.
class TNoiseForm : public ParamFormBase {
    Q_OBJECT

public:
    explicit TNoiseForm(QWidget* parent = nullptr);

    imageops::NoiseParams params() const;
    void setParams(const imageops::NoiseParams& p);

    QSpinBox* StarkEd;
    QSpinBox* WahrEd;
};
