#pragma once

#include "TPreviewForm.h"

#include "imageops/Deformations.h"
#include "imageops/ImageOp.h"

class QDoubleSpinBox;
class QRadioButton;

// "Wölben": previews bulging the document's picture outward (strength above 1) or inward
// (below 1), in both directions or along one.
class TWoelbenForm : public TPreviewForm {
    Q_OBJECT

public:
    explicit TWoelbenForm(QWidget* parent = nullptr);

    // The selection that limits the bulge.
    void setDocumentState(imageops::Selection selection);

    imageops::WoelbenParams params() const;
    void setParams(const imageops::WoelbenParams& p);

    QRadioButton* BothCheck;
    QRadioButton* HorzCheck;
    QRadioButton* VertCheck;
    QDoubleSpinBox* StarkED2;

protected:
    void applyPreview(dib& image) override;
    void resetControls() override;

private:
    imageops::Selection selection_;
};
