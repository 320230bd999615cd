#pragma once

#include "TAdjustPreviewForm.h"
#include "imageops/Adjustments.h"

#include <QColor>
#include <QFrame>

// The colour field of the colorize dialog; its fill is a property so that it can be kept
// between runs.
class ColourSwatch : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QColor brushColor READ brushColor WRITE setBrushColor USER true)

public:
    explicit ColourSwatch(QWidget* parent = nullptr);
    QColor brushColor() const { return colour_; }
    void setBrushColor(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_ = Qt::white;
};

// "Colorieren...": hue and saturation, shown in a colour field.
class TColizeForm : public TAdjustPreviewForm {
    Q_OBJECT

public:
    explicit TColizeForm(QWidget* parent = nullptr);

    imageops::ColizeParams params() const;
    void setParams(const imageops::ColizeParams& p);

    // The "&Vorschau" button.
    void TrackBarChange() { VschauBitBtn4Click(); }
    // Either track bar moved: the colour field shows hue and saturation at lightness 128.
    void TrackBar2Change();
    void FormActivate();

    QSlider* TrackBar1;   // "Farbton:" 0...255
    QSlider* TrackBar2;   // "Sättigung:" 0...255
    ColourSwatch* Shape1; // "Farbe:"

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void applyPreview(dib& image) override;
    void resetControls() override;
};
