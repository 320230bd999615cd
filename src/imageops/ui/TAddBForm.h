#pragma once

#include "ParamFormBase.h"

#include "imageops/Transforms.h"

class QCheckBox;
class QSpinBox;

// "Rand hinzufügen": the widths of the four borders. While "Symmetrisch" is ticked, changing
// any of them gives the other three the same value; ticking it copies nothing by itself.
class TAddBForm : public ParamFormBase {
    Q_OBJECT

public:
    explicit TAddBForm(QWidget* parent = nullptr);

    imageops::BorderParams params() const;
    void setParams(const imageops::BorderParams& p);

    QSpinBox* TopEdit;
    QSpinBox* BottomEdit;
    QSpinBox* LeftEdit;
    QSpinBox* RightEdit;
    QCheckBox* SymCheck;

    void TopEdit0Change();
    void BottomEditChange();
    void LeftEditChange();
    void RightEditChange();

private:
    void copyToOthers(QSpinBox* from);
    bool copying_ = false;
};
