#pragma once

#include "ParamFormBase.h"

#include "imageops/Transforms.h"

#include <cstdint>

class QCheckBox;
class QLabel;
class QSpinBox;

// "Leinwandgröße ändern": the canvas size and where the picture lands on it. While a centring
// box is ticked, a new width (height) moves the picture to round((new - old) / 2), ties to
// even, with the old size read from its label; showing the dialog does both at once. The size
// fields start at 320 and 200, so a smaller picture's size shows as those.
class TCanvasSForm : public ParamFormBase {
    Q_OBJECT

public:
    explicit TCanvasSForm(QWidget* parent = nullptr);

    // Writes the picture's size into the two labels and the two size fields.
    void setOldSize(std::int32_t width, std::int32_t height);

    imageops::CanvasParams params() const;
    void setParams(const imageops::CanvasParams& p);

    QLabel* OldBreitLabel;
    QLabel* OldHochLabel;
    QSpinBox* BreitEdit;
    QSpinBox* HochEdit;
    QSpinBox* LeftEdit;
    QSpinBox* TopEdit;
    QCheckBox* ZentHCheck;
    QCheckBox* ZentVCheck;

    void BreitEditChange();
    void HochEditChange();
    void FormActivate();

protected:
    void showEvent(QShowEvent* event) override;
};
