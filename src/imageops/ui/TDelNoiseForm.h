#pragma once

#include "ParamFormBase.h"

#include "imageops/Effects.h"

class QSpinBox;

// "Störungen entfernen": the threshold above which a pixel counts as noise.
class TDelNoiseForm : public ParamFormBase {
    Q_OBJECT

public:
    explicit TDelNoiseForm(QWidget* parent = nullptr);

    imageops::DelNoiseParams params() const;
    void setParams(const imageops::DelNoiseParams& p);

    QSpinBox* GrenzEd;
};
