#pragma once

#include "ParamFormBase.h"

#include "imageops/Effects.h"

class QComboBox;
class QRadioButton;
class QSpinBox;

// "Druckknopf erstellen": colour, transparency and width of a push-button frame, solid or
// fading toward the inside. Shown, it selects "Hintergrundfarbe"; the command turns the entry
// into a colour (imageops::effectColour).
class TButtonForm : public ParamFormBase {
    Q_OBJECT

public:
    explicit TButtonForm(QWidget* parent = nullptr);

    // The values with `color` left 0.
    imageops::ButtonParams params() const;
    void setParams(const imageops::ButtonParams& p);
    int colorEntry() const;

    QComboBox* ColorBox;
    QSpinBox* TransED;
    QSpinBox* BreitEd;
    QRadioButton* SolidCheck;
    QRadioButton* TransCheck;

    void FormActivate();

protected:
    void showEvent(QShowEvent* event) override;
};
