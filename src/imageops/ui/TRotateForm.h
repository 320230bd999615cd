#pragma once

#include "ParamFormBase.h"

#include "imageops/Transforms.h"

class QCheckBox;
class QDoubleSpinBox;
class QRadioButton;

// "Bild rotieren...": direction and angle of a rotation, a quarter, half or three quarters of a
// turn or any angle. The interpolation box is kept for the command but never shown: the free
// rotation always takes the nearest pixel.
class TRotateForm : public ParamFormBase {
    Q_OBJECT

public:
    explicit TRotateForm(QWidget* parent = nullptr);

    // Interpolation is offered for 24-bit pictures only.
    void setInterpolAllowed(bool allowed);

    imageops::RotateParams params() const;
    void setParams(const imageops::RotateParams& p);

    QRadioButton* RotLeftCheck;
    QRadioButton* RotRightCheck;
    QRadioButton* Grad90Check;
    QRadioButton* Grad180Check;
    QRadioButton* Grad270Check;
    QRadioButton* FreiGradCheck;
    QDoubleSpinBox* GradEdit;
    QCheckBox* InterpolCheck;
};
