#pragma once

#include "TAdjustPreviewForm.h"
#include "imageops/Adjustments.h"

// "Helligkeit, Kontrast und Sättigung": brightness, then contrast, then saturation.
class THKForm : public TAdjustPreviewForm {
    Q_OBJECT

public:
    explicit THKForm(QWidget* parent = nullptr);

    imageops::HKParams params() const;
    void setParams(const imageops::HKParams& p);

    // The "&Vorschau" button.
    void TrackBar1Change() { VschauBitBtn4Click(); }

    QSlider* TrackBar1; // "Helligkeit:" -127...127
    QSlider* TrackBar2; // "Kontrast:" 0...200
    QSlider* TrackBar3; // "Sättigung:" -100...100

protected:
    void applyPreview(dib& image) override;
    void resetControls() override;
};
