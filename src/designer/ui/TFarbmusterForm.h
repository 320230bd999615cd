#pragma once

#include "designer/ColourworkFromPicture.h"

#include <QDialog>
#include <QImage>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;
class QTimer;
class TPaintBox;

// "Farbmuster aus Bild": width, gauge and colours of a colourwork chart made from a picture,
// with a live preview of the chart. The dialog only gathers the values; the conversion is
// colourwork::ColourworkFromPicture, the same the command builds the chart from.
class TFarbmusterForm : public QDialog {
    Q_OBJECT

public:
    // `picture` must outlive the dialog; `pictureName` is shown above the controls.
    TFarbmusterForm(const dib& picture, const QString& pictureName, QWidget* parent = nullptr);

    colourwork::Params params() const;
    void setParams(const colourwork::Params& params);

    // The chart for the current values, as the preview shows it.
    const colourwork::Chart& chart();
    // Brings rows, preview and summary up to the current values at once (changes otherwise
    // take effect as soon as the event loop runs, so that fast typing converts once).
    void updatePreview();
    // The preview's chart, one pixel per cell.
    const QImage& previewImage() const { return cellsImage_; }

    QLabel* BildLabel;         // name and size of the picture
    QSpinBox* BreiteEd;        // "Breite in Maschen:"
    QLabel* ReihenLabel;       // the rows that follow
    QDoubleSpinBox* MaschenEd; // "Maschen pro 10 cm"
    QDoubleSpinBox* ReihenEd;  // "Reihen pro 10 cm"
    QSpinBox* FarbenEd;        // "Anzahl Farben:"
    QCheckBox* DitherCheck;    // "Fehlerverteilung (Dithering)"
    TPaintBox* PaintBox1;      // the preview
    QLabel* SummaryLabel;      // size and colours of the previewed chart

private:
    void schedulePreview();
    void paintPreview(QPainter& painter);

    colourwork::ColourworkFromPicture steps_;
    QTimer* pending_;
    QImage cellsImage_;
};
