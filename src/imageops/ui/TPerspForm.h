#pragma once

#include "TPreviewForm.h"

#include "imageops/Deformations.h"
#include "imageops/ImageOp.h"

#include <QPolygon>

#include <cstdint>

class QRadioButton;
class QSlider;
class QSpinBox;
class TPaintBox;

// "Perspektive/Schrägstellen": previews the perspective or skew on the document's picture. The
// slider and the number field always show the same strength; a small sketch shows the new
// outline of the picture for the current values.
class TPerspForm : public TPreviewForm {
    Q_OBJECT

public:
    explicit TPerspForm(QWidget* parent = nullptr);

    // What the operation needs of the document besides its picture: the background colour
    // that fills what the deformation uncovers, and the selection that limits it.
    void setDocumentState(std::uint32_t col2, imageops::Selection selection);

    imageops::PerspParams params() const;
    void setParams(const imageops::PerspParams& p);

    // The sketch's closed line for a drawing area of w x h (first point repeated at the end).
    static QPolygon outline(const imageops::PerspParams& p, int w, int h);

    QRadioButton* PerspCheck;
    QRadioButton* SkewCheck;
    QSlider* StarkED1;
    QSpinBox* StarkEd2;
    QRadioButton* HorzCheck;
    QRadioButton* VertCheck;
    TPaintBox* PaintBox1;

    void StarkED1Change();
    void StarkED2Change();
    void PerspCheckClick();
    void SkewCheckClick();
    void HorzCheckClick();
    void VertCheckClick();

protected:
    void applyPreview(dib& image) override;
    void resetControls() override;

private:
    void PaintBox1Paint(QPainter& painter);

    std::uint32_t col2_ = 0;
    imageops::Selection selection_;
};
