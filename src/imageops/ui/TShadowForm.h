#pragma once

#include "ParamFormBase.h"

#include "imageops/Effects.h"

class QComboBox;
class QSpinBox;

// "Schatten hinzufügen": colour, transparency, softness and offset of a drop shadow. Shown, it
// selects "Hintergrundfarbe". The command turns the chosen entry into a colour
// (imageops::effectColour) and fills it into the parameters.
class TShadowForm : public ParamFormBase {
    Q_OBJECT

public:
    explicit TShadowForm(QWidget* parent = nullptr);

    // Transparency and softness blend colours, which palette pictures cannot.
    void setBlendingAllowed(bool allowed);

    // The values with `color` left 0.
    imageops::ShadowParams params() const;
    void setParams(const imageops::ShadowParams& p);
    // The chosen entry of the colour list (imageops::EffectColour).
    int colorEntry() const;

    QComboBox* ColorBox;
    QSpinBox* TransEd;
    QSpinBox* BlurEd;
    QSpinBox* HorzEd;
    QSpinBox* VertEd;

    void FormActivate();

protected:
    void showEvent(QShowEvent* event) override;
};
