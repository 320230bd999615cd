#pragma once

#include "TAdjustPreviewForm.h"
#include "imageops/Adjustments.h"

// "Rot, Grün, Blau": each channel scaled on its own.
class TRGBForm : public TAdjustPreviewForm {
    Q_OBJECT

public:
    explicit TRGBForm(QWidget* parent = nullptr);

    imageops::RGBParams params() const;
    void setParams(const imageops::RGBParams& p);

    // The "&Vorschau" button.
    void TrackBar1Change() { VschauBitBtn4Click(); }

    QSlider* TrackBar1; // "Rot:" -100...100
    QSlider* TrackBar2; // "Grün:"
    QSlider* TrackBar3; // "Blau:"

protected:
    void applyPreview(dib& image) override;
    void resetControls() override;
};
