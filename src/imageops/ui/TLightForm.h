#pragma once

#include "TAdjustPreviewForm.h"
#include "imageops/Adjustments.h"

// "Glanzlicht, Mitte, Schatten".
class TLightForm : public TAdjustPreviewForm {
    Q_OBJECT

public:
    explicit TLightForm(QWidget* parent = nullptr);

    imageops::LightParams params() const;
    void setParams(const imageops::LightParams& p);

    QSlider* TrackBar1; // "Glanzlicht:" 0...255
    QSlider* TrackBar2; // "Mitte:" 0...255
    QSlider* TrackBar3; // "Schatten:" 0...255

protected:
    void applyPreview(dib& image) override;
    void resetControls() override;
};
