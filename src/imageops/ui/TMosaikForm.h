#pragma once

#include "ParamFormBase.h"

#include "imageops/Effects.h"

class QSpinBox;

// "Mosaik Effekt...": width and height of the mosaic's blocks.
class TMosaikForm : public ParamFormBase {
    Q_OBJECT

public:
    explicit TMosaikForm(QWidget* parent = nullptr);

    imageops::MosaicParams params() const;
    void setParams(const imageops::MosaicParams& p);

    QSpinBox* BreitEd;
    QSpinBox* HochEd;
};
