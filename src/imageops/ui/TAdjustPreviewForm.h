#pragma once

#include "TPreviewForm.h"
#include "foundation/Progress.h"
#include "imageops/ImageOp.h"

class QSlider;

// Preview dialogs of the tone and colour adjustments: they know the document's selection,
// since at 24 bits an adjustment changes only the selected pixels, and its progress bar.
class TAdjustPreviewForm : public TPreviewForm {
    Q_OBJECT

public:
    // Set by the command before runPreviewDialog; the mask must outlive the dialog.
    void setSelection(const imageops::Selection& selection) { selection_ = selection; }
    void setProgress(ProgressCallback progress) { progress_ = std::move(progress); }

protected:
    TAdjustPreviewForm(const QString& objectName, const QString& caption, QWidget* parent);

    // A track bar without tick marks under its label, with its value shown beside it.
    QSlider* addTrackBar(const char* objectName, const QString& label, int minimum, int maximum,
                         int value);

    imageops::Selection selection_;
    ProgressCallback progress_;
};
