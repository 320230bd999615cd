#pragma once

#include "ParamFormBase.h"

#include "imageops/Transforms.h"

#include <cstdint>

class QCheckBox;
class QSpinBox;

// "Größe verändern": the new size of the picture, optionally keeping its aspect ratio.
// While "Seitenverhältnis beibehalten" is ticked, typing a width sets the height to
// trunc(width * oldyy / oldxx) and typing a height sets the width alike; a value the dialog
// writes into the other field does not come back.
class TResizeForm : public ParamFormBase {
    Q_OBJECT

public:
    explicit TResizeForm(QWidget* parent = nullptr);

    // The picture's current size: the ratio's base and the preset of both fields.
    void setOldSize(std::int32_t width, std::int32_t height);
    // Interpolation is offered for 24-bit pictures only.
    void setInterpolAllowed(bool allowed);

    imageops::ResizeParams params() const;
    void setParams(const imageops::ResizeParams& p);

    QSpinBox* BreitEdit;
    QSpinBox* HochEdit;
    QCheckBox* SverhCheck;
    QCheckBox* InterpolCheck;

    std::int32_t oldxx = 0;
    std::int32_t oldyy = 0;
    // Set while the dialog itself changes a size field, so that the change is not linked back.
    bool init = false;

    void BreitEditChange();
    void HochEditChange();
    void SverhCheckClick();
    void FormActivate();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Writes `value` into the other size field without linking that change back.
    void writeLinked(QSpinBox* field, double value);
};
