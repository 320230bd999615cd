#pragma once

#include "TAdjustPreviewForm.h"
#include "imageops/Adjustments.h"

class QDoubleSpinBox;

// "Gamma Korrektur".
class TGammaForm : public TAdjustPreviewForm {
    Q_OBJECT

public:
    explicit TGammaForm(QWidget* parent = nullptr);

    imageops::GammaParams params() const;
    void setParams(const imageops::GammaParams& p);

    QDoubleSpinBox* GammaEdit; // "Gamma Korrektur:" 0.1...8.9 in steps of 0.1

protected:
    void applyPreview(dib& image) override;
    void resetControls() override;
};
